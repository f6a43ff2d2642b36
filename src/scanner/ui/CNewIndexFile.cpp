#include "scanner/ui/CNewIndexFile.h"

#include "index/TextUtils.h"
#include "scanner/ui/NewIndexWizard.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tamblin {

CNewIndexFile::CNewIndexFile(NewIndexWizard& wizard) : m_wizard(wizard) {
    setObjectName(QStringLiteral("CNewIndexFile"));
    setTitle(QStringLiteral("New"));
    auto* group = new QGroupBox(QStringLiteral("New index"), this);
    auto* label = new QLabel(QStringLiteral("&Description:"));
    m_description = new QLineEdit;
    m_description->setObjectName(QStringLiteral("description"));
    label->setBuddy(m_description);
    m_empty = new QRadioButton(QStringLiteral("&Empty index file"));
    m_empty->setObjectName(QStringLiteral("emptyIndex"));
    m_scan = new QRadioButton(QStringLiteral("&Scan from web pages"));
    m_scan->setObjectName(QStringLiteral("scan"));
    m_language = new QPushButton(QStringLiteral("New &Language File"));
    m_language->setObjectName(QStringLiteral("newLanguageFile"));
    m_language->setAutoDefault(false);

    auto* grid = new QGridLayout(group);
    grid->addWidget(label, 0, 0);
    grid->addWidget(m_description, 0, 1);
    m_problem = new QLabel;
    m_problem->setObjectName(QStringLiteral("descriptionProblem"));
    m_problem->setTextFormat(Qt::PlainText);
    m_problem->setWordWrap(true);
    m_problem->hide();
    grid->addWidget(m_problem, 1, 0, 1, 2);
    grid->setRowMinimumHeight(1, 8);
    grid->addWidget(m_empty, 2, 0, 1, 2);
    grid->addWidget(m_scan, 3, 0, 1, 2);
    grid->setRowMinimumHeight(4, 8);
    grid->addWidget(m_language, 5, 0, Qt::AlignLeft);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addStretch(1);

    connect(m_description, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!m_updating) {
            m_wizard.SetDescription(ScanBytes(text));
            UpdateButtons();
        }
    });
    connect(m_empty, &QRadioButton::clicked, this, [this] { Choose(NewIndexWizard::kEmptyIndex); });
    connect(m_scan, &QRadioButton::clicked, this, [this] { Choose(NewIndexWizard::kScan); });
    connect(m_language, &QPushButton::clicked, this, &CNewIndexFile::NewLanguageFile);
}

void CNewIndexFile::initializePage() {
    m_updating = true;
    m_description->setText(ScanText(m_wizard.Description()));
    m_updating = false;
    UpdateButtons();
}

bool CNewIndexFile::isComplete() const {
    return !m_wizard.Description().empty() && Problem().isEmpty();
}

QString CNewIndexFile::Problem() const {
    const std::string& description = m_wizard.Description();
    std::string problem = DescriptionProblem(description);
    if (!problem.empty()) {
        return QString::fromStdString(problem);
    }
    // The new file is named after the description: "/" would put it in another folder.
    if (description.find('/') != std::string::npos) {
        return QStringLiteral(
            "The description cannot hold \"/\": the index file is named after it.");
    }
    return {};
}

int CNewIndexFile::nextId() const {
    return m_wizard.ChoiceMade() == NewIndexWizard::kScan ? NewIndexWizard::kScanSource : -1;
}

void CNewIndexFile::SetLanguageFileAvailable(bool available) {
    m_language->setEnabled(available);
}

void CNewIndexFile::Choose(int choice) {
    if (!m_updating) {
        m_wizard.SetChoice(choice);
        UpdateButtons();
    }
}

void CNewIndexFile::UpdateButtons() {
    m_updating = true;
    bool scan = m_wizard.ChoiceMade() == NewIndexWizard::kScan;
    (scan ? m_scan : m_empty)->setChecked(true);
    m_updating = false;
    // A scan shows Next, an empty index Finish; either only with a description. Marking the
    // page final again makes the wizard ask nextId() anew and swap the two buttons.
    setFinalPage(!scan);
    QString problem = Problem();
    m_problem->setText(problem);
    m_problem->setVisible(!problem.isEmpty());
    Q_EMIT completeChanged();
}

void CNewIndexFile::NewLanguageFile() {
    m_wizard.SetChoice(NewIndexWizard::kLanguageFile);
    m_wizard.accept();
}

} // namespace tamblin
