#pragma once

#include <QString>
#include <QWizardPage>

namespace tamblin {

class SearchPageWizard;

// A page of the New web page wizard whose fields go into the wizard's settings both when the
// reader moves on and when they go Back, so that nothing typed is lost either way.
class StoringWizardPage : public QWizardPage {
    Q_OBJECT
public:
    StoringWizardPage(SearchPageWizard& wizard, const QString& name, const QString& title);

    void cleanupPage() override { Store(); }
    bool validatePage() override {
        Store();
        return true;
    }

protected:
    virtual void Store() = 0;

    SearchPageWizard& m_wizard;
};

} // namespace tamblin
