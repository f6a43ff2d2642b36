#include "contents/ui/CURLProperties.h"

#include "contents/RelativePath.h"
#include "document/ui/CXoDoc.h"
#include "index/BaseUrl.h"
#include "index/IndexEntry.h"
#include "index/IndexFile.h"
#include "index/TextUtils.h"
#include "index/UrlUtils.h"
#include "platform/CommonPrompts.h"
#include "platform/ElidingLabel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tamblin {

namespace {

QLineEdit* MakeEdit(QWidget* parent, const char* name) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    return edit;
}

} // namespace

CURLProperties::CURLProperties(const CXoDoc& document, IndexEntry& entry, bool newEntry,
                               QWidget* parent)
    : CPropertyPage(parent), m_document(document), m_index(*document.Index()), m_entry(entry),
      m_newEntry(newEntry), m_baseUrl(entry.m_baseUrl),
      m_baseTarget(entry.m_baseUrl ? entry.m_baseUrl->m_targetFrame : std::string()),
      m_ownTarget(entry.m_ownTarget != 0) {
    setObjectName(QStringLiteral("urlProperties"));
    BuildControls();
    FillControls();
}

void CURLProperties::BuildControls() {
    m_title = MakeEdit(this, "title");
    m_inContents = new QCheckBox(QStringLiteral("In &Contents"), this);
    m_inContents->setObjectName(QStringLiteral("inContents"));
    m_baseList = new QComboBox(this);
    m_baseList->setObjectName(QStringLiteral("baseUrl"));
    // A long base URL must not set the width of the sheet.
    m_baseList->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_baseList->setMinimumContentsLength(kComboChars);
    m_url = MakeEdit(this, "url");
    m_browse = new QPushButton(QStringLiteral("&Browse..."), this);
    m_browse->setObjectName(QStringLiteral("browse"));
    m_fullUrl = new ElidingLabel(this);
    m_fullUrl->setObjectName(QStringLiteral("fullUrl"));
    m_fullUrl->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_target = MakeEdit(this, "targetFrame");
    m_iconUrl = MakeEdit(this, "iconUrl");
    m_pageTip = MakeEdit(this, "pageTip");
    auto* urlRow = new QHBoxLayout;
    urlRow->addWidget(m_url);
    urlRow->addWidget(m_browse);
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("&Title:"), m_title);
    form->addRow(QString(), m_inContents);
    form->addRow(QStringLiteral("Base U&RL:"), m_baseList);
    auto* urlLabel = new QLabel(QStringLiteral("&URL:"), this);
    urlLabel->setBuddy(m_url);
    form->addRow(urlLabel, urlRow);
    form->addRow(QStringLiteral("Full URL:"), m_fullUrl);
    form->addRow(QStringLiteral("Target &frame:"), m_target);
    form->addRow(QStringLiteral("&Icon URL:"), m_iconUrl);
    form->addRow(QStringLiteral("&Page tip:"), m_pageTip);
    connect(m_baseList, &QComboBox::activated, this, &CURLProperties::OnBaseChosen);
    connect(m_url, &QLineEdit::textChanged, this, &CURLProperties::ComputeFullUrl);
    connect(m_target, &QLineEdit::textChanged, this, &CURLProperties::OnTargetEdited);
    connect(m_browse, &QPushButton::clicked, this, &CURLProperties::OnBrowse);
}

void CURLProperties::FillControls() {
    m_updating = true;
    m_title->setText(m_document.Decode(m_entry.m_title));
    m_inContents->setChecked(m_entry.m_inContents != 0);
    m_url->setText(m_document.Decode(m_entry.m_url));
    std::string target = m_ownTarget ? m_entry.m_targetFrame : m_baseTarget;
    m_target->setText(m_document.Decode(target));
    m_iconUrl->setText(m_document.Decode(m_entry.m_iconUrl));
    m_pageTip->setText(m_document.Decode(m_entry.m_pageTip));
    FillBaseList();
    m_updating = false;
    ComputeFullUrl();
}

void CURLProperties::FillBaseList() {
    m_baseList->addItem(QStringLiteral("<None>"), -1);
    for (size_t i = 0; i < m_index.m_baseUrls.size(); ++i) {
        QString text = m_document.Decode(m_index.m_baseUrls[i]->m_url);
        int row = 1;
        while (row < m_baseList->count() &&
               QString::compare(m_baseList->itemText(row), text, Qt::CaseInsensitive) <= 0) {
            ++row;
        }
        m_baseList->insertItem(row, text, static_cast<int>(i));
    }
}

void CURLProperties::OnBaseChosen(int row) {
    if (m_updating) {
        return;
    }
    int index = m_baseList->itemData(row).toInt();
    m_baseUrl = index < 0 ? nullptr : m_index.m_baseUrls[static_cast<size_t>(index)].get();
    if (m_baseUrl) {
        m_baseTarget = m_baseUrl->m_targetFrame;
        if (!m_ownTarget) {
            m_updating = true;
            m_target->setText(m_document.Decode(m_baseTarget));
            m_updating = false;
        }
    }
    ComputeFullUrl();
}

void CURLProperties::OnTargetEdited() {
    if (!m_updating) {
        m_ownTarget = m_document.Encode(m_target->text()) != m_baseTarget;
    }
}

void CURLProperties::ComputeFullUrl() {
    if (m_updating) {
        return;
    }
    std::string url = m_document.Encode(m_url->text());
    bool absolute = IsAbsoluteUrl(url) != 0;
    m_updating = true;
    if (absolute) {
        m_baseList->setCurrentIndex(-1);
    } else {
        size_t index = 0;
        for (; index < m_index.m_baseUrls.size(); ++index) {
            if (m_index.m_baseUrls[index].get() == m_baseUrl) {
                break;
            }
        }
        int data = m_baseUrl && index < m_index.m_baseUrls.size() ? static_cast<int>(index) : -1;
        m_baseList->setCurrentIndex(m_baseList->findData(data));
    }
    m_updating = false;
    m_baseList->setEnabled(!absolute);
    std::string full = absolute || !m_baseUrl ? url : m_baseUrl->m_url + url;
    m_fullUrl->setText(m_document.Decode(full));
    m_browse->setEnabled(!absolute && (!m_baseUrl || !IsAbsoluteUrl(m_baseUrl->m_url)));
}

bool CURLProperties::OnKillActive() {
    if (!CheckMinLength(m_title, m_title->text(), 1)) {
        return false;
    }
    // A new entry gets its title as its first keyword, so it is found in the index at once.
    if (m_newEntry && m_entry.m_keywords.empty() && !m_url->text().isEmpty()) {
        m_entry.m_keywords.emplace_back(&m_entry, Bytes(m_title->text(), m_entry.m_title), "", "",
                                        "", 0);
    }
    return true;
}

QString CURLProperties::Title() const {
    return m_title->text();
}
QString CURLProperties::Url() const {
    return m_url->text();
}
QString CURLProperties::TargetFrame() const {
    return m_target->text();
}
QString CURLProperties::FullUrl() const {
    return m_fullUrl->text();
}
QString CURLProperties::BaseTarget() const {
    return m_document.Decode(m_baseTarget);
}

std::string CURLProperties::Bytes(const QString& text, const std::string& original) const {
    // Untouched texts keep their exact bytes.
    return text == m_document.Decode(original) ? original : m_document.Encode(text);
}

bool CURLProperties::ApplyTo(IndexEntry& entry, bool keywordsModified) const {
    std::string title = Bytes(m_title->text(), entry.m_title);
    std::string url = Bytes(m_url->text(), entry.m_url);
    std::string target = Bytes(m_target->text(), entry.m_targetFrame);
    std::string icon = Bytes(m_iconUrl->text(), entry.m_iconUrl);
    std::string tip = Bytes(m_pageTip->text(), entry.m_pageTip);
    int inContents = m_inContents->isChecked() ? 1 : 0;
    int ownTarget = m_ownTarget ? 1 : 0;
    bool same = !keywordsModified && inContents == entry.m_inContents &&
                m_baseUrl == entry.m_baseUrl && url == entry.m_url && title == entry.m_title &&
                target == entry.m_targetFrame && ownTarget == entry.m_ownTarget &&
                icon == entry.m_iconUrl && tip == entry.m_pageTip;
    if (same) {
        return false;
    }
    entry.m_title = title;
    entry.m_inContents = inContents;
    entry.m_baseUrl = m_baseUrl;
    entry.m_url = url;
    entry.m_targetFrame = target;
    entry.m_ownTarget = ownTarget;
    entry.m_iconUrl = icon;
    entry.m_pageTip = tip;
    if (m_baseUrl) {
        m_baseUrl->m_inUse = 1;
    }
    return true;
}

QString CURLProperties::BrowseStartDirectory() const {
    std::string start = SplitPath(m_index.m_fileName, kNativeSeparator).directory;
    if (m_baseUrl && !IsAbsoluteUrl(m_baseUrl->m_url)) {
        start = ReplaceChar(start + m_baseUrl->m_url, '\\', '/');
        NormalizeUrlPath(start);
        start = ReplaceChar(start, '/', kNativeSeparator);
    }
    return QString::fromLocal8Bit(start.c_str());
}

void CURLProperties::OnBrowse() {
    QString start = BrowseStartDirectory();
    QString path = m_url->text();
    path.replace(QLatin1Char('/'), QLatin1Char(kNativeSeparator));
    // The start directory stands in for the current directory, which stays untouched.
    path = start + path;
    if (!PromptFileName(this, true, QStringLiteral("html"), QStringLiteral("Select web page"), path,
                        QStringLiteral("Web Page Files (*.htm *.html)|*.htm;*.html|All Files "
                                       "(*.*)|*.*||"))) {
        return;
    }
    PathParts chosen = SplitPath(path.toLocal8Bit().toStdString(), kNativeSeparator);
    std::string relative =
        RelativePath(start.toLocal8Bit().toStdString(), chosen.directory, kNativeSeparator);
    m_url->setText(QString::fromLocal8Bit((relative + chosen.fileName).c_str()));
}

} // namespace tamblin
