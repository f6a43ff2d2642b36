#include "scanner/ui/CScanOptions.h"

#include "scanner/ui/NewIndexWizard.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace tamblin {

CScanOptions::CScanOptions(NewIndexWizard& wizard) : m_wizard(wizard) {
    setObjectName(QStringLiteral("CScanOptions"));
    setTitle(QStringLiteral("Scan options"));
    auto* intro = new QLabel(QStringLiteral("Select options to say how these pages should be "
                                            "scanned.\nJust use the defaults first time round."),
                             this);
    intro->setWordWrap(true);
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
        {"Read values in single &quotes", "singleQuotes", &ScanSettings::singleQuotes},
        {"Remember this scan for &updates", "rememberScan", &ScanSettings::rememberScan},
        {"Build a full-text s&earch index", "fullText", &ScanSettings::fullText},
    };
    for (const auto& option : options) {
        AddOption(QString::fromLatin1(option.text), option.name, option.field);
    }
    LayOut(intro);
    connect(m_skipTargetFrame, &QLineEdit::textChanged, this, &CScanOptions::Store);
}

namespace {

// The boxes by what they are about, two groups a column; a box not named here joins the last.
enum Group { kFollow, kReading, kKeywords, kIndex, kGroupCount };

const char* const kGroupTitles[kGroupCount] = {"What to follow", "How pages are read", "Keywords",
                                               "The index and after"};

Group GroupOf(const QString& name) {
    static const struct {
        const char* name;
        Group group;
    } groups[] = {
        {"addOffSiteEntries", kFollow},
        {"caseSignificant", kFollow},
        {"noTitleIgnorePage", kFollow},
        {"pagesByType", kFollow},
        {"followRedirects", kFollow},
        {"polite", kFollow},
        {"tidyUrls", kFollow},
        {"checkFileLinks", kFollow},
        {"startLanguageOnly", kFollow},
        {"parseAll", kReading},
        {"browserText", kReading},
        {"skipScriptStyle", kReading},
        {"singleQuotes", kReading},
        {"anchorsAsKeywords", kKeywords},
        {"ignoreBlankAnchors", kKeywords},
        {"headingKeywords", kKeywords},
        {"skipCommonHeadings", kKeywords},
        {"skipTitleRepeats", kKeywords},
        {"oneCasePerPage", kKeywords},
        {"skipMarkers", kKeywords},
        {"shortenTitles", kIndex},
        {"rememberScan", kIndex},
    };
    for (const auto& entry : groups) {
        if (name == QLatin1String(entry.name)) {
            return entry.group;
        }
    }
    return kIndex;
}

} // namespace

// Twenty-odd boxes in one list are hard to read: they stand in groups, two columns of two,
// in the order of the list within each group, so that Tab goes down one group and then the
// next. The skip target frame box belongs with what is followed.
void CScanOptions::LayOut(QLabel* intro) {
    QVBoxLayout* groups[kGroupCount] = {};
    QGroupBox* boxes[kGroupCount] = {};
    for (int g = 0; g < kGroupCount; ++g) {
        boxes[g] = new QGroupBox(QString::fromLatin1(kGroupTitles[g]));
        groups[g] = new QVBoxLayout(boxes[g]);
        groups[g]->setSpacing(2);
    }
    for (QCheckBox* box : m_boxes) {
        groups[GroupOf(box->objectName())]->addWidget(box);
    }
    auto* label = new QLabel(QStringLiteral("&Skip target frame:"));
    m_skipTargetFrame = new QLineEdit;
    m_skipTargetFrame->setObjectName(QStringLiteral("skipTargetFrame"));
    label->setBuddy(m_skipTargetFrame);
    auto* frameRow = new QHBoxLayout;
    frameRow->addWidget(label);
    frameRow->addWidget(m_skipTargetFrame, 1);
    groups[kFollow]->addLayout(frameRow);
    auto* left = new QVBoxLayout;
    left->addWidget(boxes[kFollow]);
    left->addWidget(boxes[kReading]);
    left->addStretch(1);
    auto* right = new QVBoxLayout;
    right->addWidget(boxes[kKeywords]);
    right->addWidget(boxes[kIndex]);
    right->addStretch(1);
    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 1);
    columns->addLayout(right, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(columns, 1);
    layout->addWidget(new QLabel(QStringLiteral("Press Finish to begin your scan...")));
    // Tab follows the groups as they read: down the left column, then the right.
    QList<QWidget*> order;
    for (int g : {kFollow, kReading, kKeywords, kIndex}) {
        for (QCheckBox* box : boxes[g]->findChildren<QCheckBox*>()) {
            order.append(box);
        }
        if (g == kFollow) {
            order.append(m_skipTargetFrame);
        }
    }
    for (qsizetype i = 1; i < order.size(); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }
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
