#include "scanner/ui/CScanOptions.h"

#include "scanner/ui/NewIndexWizard.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <algorithm>

namespace tamblin {

CScanOptions::CScanOptions(NewIndexWizard& wizard) : m_wizard(wizard) {
    setObjectName(QStringLiteral("CScanOptions"));
    setTitle(QStringLiteral("Scan options"));
    auto* intro = new QLabel(QStringLiteral("Select options to say how these pages should be "
                                            "scanned.\nJust use the defaults first time round."),
                             this);
    intro->setWordWrap(true);
    auto* layout = new QGridLayout(this);
    layout->addWidget(intro, 0, 0, 1, 3);
    layout->addWidget(new QLabel(QStringLiteral("Options:")), 1, 0, 1, 2);
    int row = 2;
    const struct {
        const char* text;
        const char* name;
        bool ScanSettings::*field;
    } options[] = {
        {"Add entries for &off-site links", "addOffSiteEntries", &ScanSettings::addOffSiteEntries},
        {"&Case is significant", "caseSignificant", &ScanSettings::caseSignificant},
        {"&Ignore blank anchors", "ignoreBlankAnchors", &ScanSettings::ignoreBlankAnchors},
        {"&No title: ignore page", "noTitleIgnorePage", &ScanSettings::noTitleIgnorePage},
        {"&Parse all", "parseAll", &ScanSettings::parseAll},
        {"Use anchors as &keywords", "anchorsAsKeywords", &ScanSettings::anchorsAsKeywords},
        {"&Decode text as browsers do", "browserText", &ScanSettings::browserText},
        {"&Headings with an id as keywords", "headingKeywords", &ScanSettings::headingKeywords},
        {"Ask the server &which links are pages", "pagesByType", &ScanSettings::pagesByType},
        {"Follow &redirects and <base>", "followRedirects", &ScanSettings::followRedirects},
        {"Shorten &titles by their shared part", "shortenTitles", &ScanSettings::shortenTitles},
        {"Skip script and st&yle", "skipScriptStyle", &ScanSettings::skipScriptStyle},
        {"Obey robots.t&xt and nofollow", "polite", &ScanSettings::polite},
        {"Tidy &addresses as browsers resolve them", "tidyUrls", &ScanSettings::tidyUrls},
        {"Leave out headin&gs most pages share", "skipCommonHeadings",
         &ScanSettings::skipCommonHeadings},
        {"Leave out title plus shared heading", "skipTitleRepeats",
         &ScanSettings::skipTitleRepeats},
        {"One phrase per page whate&ver its case", "oneCasePerPage", &ScanSettings::oneCasePerPage},
        {"Report &missing files, not entries", "checkFileLinks", &ScanSettings::checkFileLinks},
        {"Leave out permalink and footnote marks", "skipMarkers", &ScanSettings::skipMarkers},
        {"Only pages in the start page's &language", "startLanguageOnly",
         &ScanSettings::startLanguageOnly},
        {"Read values in single quotes", "singleQuotes", &ScanSettings::singleQuotes},
        {"Remember this scan for &updates", "rememberScan", &ScanSettings::rememberScan},
        {"Build a full-text s&earch index", "fullText", &ScanSettings::fullText},
    };
    // The options of old on the left, those for today's sites on the right.
    constexpr int kClassicOptions = 6;
    int newRow = row;
    int index = 0;
    for (const auto& option : options) {
        QCheckBox* box = AddOption(QString::fromLatin1(option.text), option.name, option.field);
        if (index++ < kClassicOptions) {
            layout->addWidget(box, row++, 0, 1, 2);
        } else {
            layout->addWidget(box, newRow++, 2);
        }
    }
    row = std::max(row, newRow);
    auto* label = new QLabel(QStringLiteral("&Skip target frame:"));
    m_skipTargetFrame = new QLineEdit;
    m_skipTargetFrame->setObjectName(QStringLiteral("skipTargetFrame"));
    label->setBuddy(m_skipTargetFrame);
    layout->addWidget(label, row, 0);
    layout->addWidget(m_skipTargetFrame, row++, 1);
    layout->setRowMinimumHeight(row++, 8);
    layout->addWidget(new QLabel(QStringLiteral("Press Finish to begin your scan...")), row++, 0, 1,
                      2);
    layout->setRowStretch(row, 1);
    connect(m_skipTargetFrame, &QLineEdit::textChanged, this, &CScanOptions::Store);
}

QCheckBox* CScanOptions::AddOption(const QString& text, const char* name,
                                   bool ScanSettings::*field) {
    auto* box = new QCheckBox(text);
    box->setObjectName(QString::fromLatin1(name));
    connect(box, &QCheckBox::toggled, this, &CScanOptions::Store);
    m_boxes.append(box);
    m_fields.append(field);
    return box;
}

void CScanOptions::initializePage() {
    const ScanSettings& options = m_wizard.Values().options;
    m_updating = true;
    for (qsizetype i = 0; i < m_boxes.size(); ++i) {
        m_boxes[i]->setChecked(options.*m_fields[i]);
    }
    m_skipTargetFrame->setText(ScanText(options.skipTargetFrame));
    m_updating = false;
}

void CScanOptions::Store() {
    if (m_updating) {
        return;
    }
    ScanSettings& options = m_wizard.Values().options;
    for (qsizetype i = 0; i < m_boxes.size(); ++i) {
        options.*m_fields[i] = m_boxes[i]->isChecked();
    }
    options.skipTargetFrame = ScanBytes(m_skipTargetFrame->text());
}

} // namespace tamblin
