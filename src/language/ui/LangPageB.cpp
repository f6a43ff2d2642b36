#include "language/ui/LangPageB.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QVBoxLayout>

namespace tamblin {

namespace {

QListWidget* LineList(QWidget* parent, const QString& name) {
    auto* list = new QListWidget(parent);
    list->setObjectName(name);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    // One scroll step per line, so both lists' scroll values are their first visible lines.
    list->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setUniformItemSizes(true);
    return list;
}

} // namespace

LangPageB::LangPageB(QWidget* parent)
    : QWidget(parent), m_labels(LineList(this, QStringLiteral("labelList"))),
      m_texts(LineList(this, QStringLiteral("textList"))), m_edit(new QLineEdit(this)) {
    setObjectName(QStringLiteral("LangPageB"));
    m_edit->setObjectName(QStringLiteral("lineEdit"));
    // The label list scrolls only with the text list's scroll bar.
    m_labels->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_texts->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    auto* lists = new QHBoxLayout;
    lists->setSpacing(0);
    lists->addWidget(m_labels, 1);
    lists->addWidget(m_texts, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists, 1);
    layout->addWidget(
        new QLabel(QStringLiteral("Select a line and edit it in the box below:"), this));
    layout->addWidget(m_edit);

    connect(m_labels, &QListWidget::currentRowChanged, this, &LangPageB::OnLabelRowChanged);
    connect(m_texts, &QListWidget::currentRowChanged, this, &LangPageB::OnTextRowChanged);
    connect(m_edit, &QLineEdit::textChanged, this, &LangPageB::OnEditChanged);
    connect(m_texts->verticalScrollBar(), &QScrollBar::valueChanged, m_labels->verticalScrollBar(),
            &QScrollBar::setValue);
    // Keys and the wheel can still move the label list; the texts follow it then.
    connect(m_labels->verticalScrollBar(), &QScrollBar::valueChanged, m_texts->verticalScrollBar(),
            &QScrollBar::setValue);
}

void LangPageB::Fill(const QStringList& labels, const QStringList& texts) {
    m_updating = true;
    m_labels->clear();
    m_texts->clear();
    m_labels->addItems(labels);
    m_texts->addItems(texts);
    m_edit->clear();
    m_selected = -1;
    m_updating = false;
}

QStringList LangPageB::Texts() const {
    QStringList texts;
    for (int row = 0; row < m_texts->count(); ++row) {
        texts << m_texts->item(row)->text();
    }
    return texts;
}

int LangPageB::FindBlankLine() const {
    for (int row = 0; row < m_texts->count(); ++row) {
        if (m_texts->item(row)->text().isEmpty()) {
            return row;
        }
    }
    return -1;
}

void LangPageB::SelectLine(int row) {
    if (row < -1 || row >= m_texts->count()) {
        return;
    }
    m_updating = true;
    m_labels->setCurrentRow(row);
    m_texts->setCurrentRow(row);
    m_selected = row;
    m_edit->setText(row >= 0 ? m_texts->item(row)->text() : QString());
    m_updating = false;
    FollowLabelScroll();
    // Putting the line's text into the box counts as an edit of that line.
    OnEditChanged();
}

void LangPageB::OnLabelRowChanged(int row) {
    if (!m_updating) {
        SelectLine(row);
    }
}

void LangPageB::OnTextRowChanged(int row) {
    if (!m_updating) {
        SelectLine(row);
    }
}

void LangPageB::OnEditChanged() {
    if (m_updating || m_selected < 0) {
        return;
    }
    m_texts->item(m_selected)->setText(m_edit->text());
    m_modified = true;
}

void LangPageB::FollowLabelScroll() {
    if (m_selected >= 0) {
        m_labels->scrollToItem(m_labels->item(m_selected));
    }
    m_texts->verticalScrollBar()->setValue(m_labels->verticalScrollBar()->value());
}

} // namespace tamblin
