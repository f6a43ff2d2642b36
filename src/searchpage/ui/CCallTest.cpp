#include "searchpage/ui/CCallTest.h"

#include "searchpage/ui/SearchPageWizard.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tamblin {

CCallTest::CCallTest(SearchPageWizard& wizard)
    : StoringWizardPage(wizard, QStringLiteral("CCallTest"), QStringLiteral("Test Options")) {
    setFinalPage(true);
    auto* support = new QGroupBox(QStringLiteral("Browser support"));
    auto* supportLayout = new QGridLayout(support);
    supportLayout->addWidget(
        new QLabel(QStringLiteral("Select which version of Navora you want to use:")), 0, 0, 1, 2);
    const char* const labels[3] = {"Version 2.1 (for all browsers)",
                                   "Version 2.3 (for recent browsers)",
                                   "Use &Javascript to select"};
    const char* const names[3] = {"version21", "version23", "javascript"};
    auto* group = new QButtonGroup(this);
    for (int i = 0; i < 3; ++i) {
        m_versions[i] = new QRadioButton(QString::fromLatin1(labels[i]));
        m_versions[i]->setObjectName(QString::fromLatin1(names[i]));
        group->addButton(m_versions[i], i);
        supportLayout->addWidget(m_versions[i], 1 + i, 0);
    }
    auto* note = new QLabel(QStringLiteral("an appropriate version"));
    note->setIndent(24);
    supportLayout->addWidget(note, 4, 0);

    m_testNow = new QCheckBox(QStringLiteral("&Test now"));
    m_testNow->setObjectName(QStringLiteral("testNow"));
    m_copyJavaFiles = new QCheckBox(QStringLiteral("&Copy Java files"));
    m_copyJavaFiles->setObjectName(QStringLiteral("copyJavaFiles"));
    auto* copyText = new QLabel(QStringLiteral(
        "Your new web page needs Navora's Java files to run.\nLeave this box selected to ensure "
        "that the necessary files are copied to the same directory as your new page."));
    copyText->setWordWrap(true);
    m_webViewer = new QCheckBox(QStringLiteral("Show the index in bro&wsers without Java"));
    m_webViewer->setObjectName(QStringLiteral("webViewer"));
    m_companions = new QCheckBox(QStringLiteral("Also when the page is opened from &disk"));
    m_companions->setObjectName(QStringLiteral("companions"));
    m_companions->setToolTip(QStringLiteral(
        "Writes a script beside each index and language file the page names (site.xo.js for "
        "site.xo) holding the file's bytes, which browsers let a page on disk read. Every "
        "save of the file writes it again."));
    // Companions serve the script viewer alone.
    connect(m_webViewer, &QCheckBox::toggled, m_companions, &QWidget::setEnabled);
    m_sideLayout = new QCheckBox(
        QStringLiteral("Side-by-side pa&ge: the index beside the pages, filling the window"));
    m_sideLayout->setObjectName(QStringLiteral("sideLayout"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(support);
    layout->addWidget(new QLabel(
        QStringLiteral("Check this box if you want to test this page now with Tamblin.")));
    layout->addWidget(m_testNow);
    layout->addWidget(copyText);
    layout->addWidget(m_copyJavaFiles);
    layout->addWidget(m_webViewer);
    auto* companionsRow = new QHBoxLayout;
    companionsRow->addSpacing(24);
    companionsRow->addWidget(m_companions);
    layout->addLayout(companionsRow);
    layout->addWidget(m_sideLayout);
    layout->addStretch(1);
}

void CCallTest::initializePage() {
    const SearchPageSettings& settings = m_wizard.Settings();
    int version =
        settings.appletVersion >= 0 && settings.appletVersion <= 2 ? settings.appletVersion : 0;
    m_versions[version]->setChecked(true);
    m_testNow->setChecked(settings.testNow);
    m_copyJavaFiles->setChecked(settings.copyJavaFiles);
    m_webViewer->setChecked(settings.webViewer);
    m_companions->setChecked(settings.companions);
    m_companions->setEnabled(settings.webViewer);
    m_sideLayout->setChecked(settings.layout == PageLayout::Side);
}

void CCallTest::Store() {
    SearchPageSettings& settings = m_wizard.Settings();
    for (int i = 0; i < 3; ++i) {
        if (m_versions[i]->isChecked()) {
            settings.appletVersion = i;
        }
    }
    settings.testNow = m_testNow->isChecked();
    settings.copyJavaFiles = m_copyJavaFiles->isChecked();
    settings.webViewer = m_webViewer->isChecked();
    settings.companions = m_companions->isChecked();
    settings.layout = m_sideLayout->isChecked() ? PageLayout::Side : PageLayout::Classic;
}

} // namespace tamblin
