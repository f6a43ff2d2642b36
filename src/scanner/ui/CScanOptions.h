#pragma once

#include "scanner/ScanSettings.h"

#include <QList>
#include <QWizardPage>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace tamblin {

class NewIndexWizard;

// Page 3, "Scan options": how the pages are scanned. Back and Finish.
class CScanOptions final : public QWizardPage {
    Q_OBJECT
public:
    explicit CScanOptions(NewIndexWizard& wizard);

    void initializePage() override;
    void cleanupPage() override {}

private:
    QCheckBox* AddOption(const QString& text, const char* name, bool ScanSettings::*field);
    void LayOut(QLabel* intro);
    void Store();

    NewIndexWizard& m_wizard;
    QList<QCheckBox*> m_boxes;
    QList<bool ScanSettings::*> m_fields;
    QLineEdit* m_skipTargetFrame = nullptr;
    bool m_updating = false;
};

} // namespace tamblin
