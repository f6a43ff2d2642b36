#include "searchpage/ui/CCallImages.h"

#include "searchpage/ui/SearchPageWizard.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace tamblin {

CCallImages::CCallImages(SearchPageWizard& wizard)
    : StoringWizardPage(wizard, QStringLiteral("CCallImages"), QStringLiteral("Images")) {
    auto* layout = new QGridLayout(this);
    auto* intro = new QLabel(QStringLiteral(
        "If desired, enter the filename(s) of the images to replace these default images.\nYou "
        "can copy the original GIF images and edit them in an image editor.\nYou must give "
        "filenames which are different to the defaults."));
    intro->setWordWrap(true);
    layout->addWidget(intro, 0, 0, 1, 3);
    m_contentsIcons = AddRow(1, QStringLiteral("&Contents icons image:\n   4 icons in a row"),
                             QStringLiteral("contentsIcons"), QStringLiteral("xoicons.gif"));
    m_tabIcons = AddRow(2,
                        QStringLiteral("&Tab icons image:\n   4 icons in a row\n   (each 14 "
                                       "pixels wide)"),
                        QStringLiteral("tabIcons"), QStringLiteral("xotabs.gif"));
    m_icon = AddRow(3, QStringLiteral("&Icon mode image to display:"), QStringLiteral("icon"),
                    QStringLiteral("xo.gif"));
    layout->addWidget(new QLabel(QStringLiteral("NB: The filenames are not checked here")), 4, 0, 1,
                      3);
    layout->setRowStretch(5, 1);
    layout->setColumnStretch(1, 1);
}

QLineEdit* CCallImages::AddRow(int row, const QString& label, const QString& name,
                               const QString& defaultImage) {
    auto* layout = static_cast<QGridLayout*>(this->layout());
    auto* edit = new QLineEdit;
    edit->setObjectName(name);
    auto* text = new QLabel(label);
    text->setBuddy(edit);
    // The applet's own pictures are not shipped with Tamblin, so the default is shown by name.
    auto* picture = new QLabel(defaultImage);
    picture->setFrameShape(QFrame::StyledPanel);
    picture->setAlignment(Qt::AlignCenter);
    picture->setMinimumWidth(90);
    layout->addWidget(text, row, 0);
    layout->addWidget(edit, row, 1);
    layout->addWidget(picture, row, 2);
    return edit;
}

void CCallImages::initializePage() {
    const SearchPageSettings& settings = m_wizard.Settings();
    m_contentsIcons->setText(Text(settings.contentsIconsImage));
    m_tabIcons->setText(Text(settings.tabIconsImage));
    m_icon->setText(Text(settings.iconImage));
}

void CCallImages::Store() {
    SearchPageSettings& settings = m_wizard.Settings();
    settings.contentsIconsImage = Bytes(m_contentsIcons->text());
    settings.tabIconsImage = Bytes(m_tabIcons->text());
    settings.iconImage = Bytes(m_icon->text());
}

} // namespace tamblin
