#pragma once

#include <QWizardPage>

#include <string>

class QLineEdit;
class QRadioButton;

namespace tamblin {

class NewIndexWizard;

// Page 2, "Scan Existing Pages": the start page, a local file or a URL.
class CScanSource final : public QWizardPage {
    Q_OBJECT
public:
    explicit CScanSource(NewIndexWizard& wizard);

    void initializePage() override;
    void cleanupPage() override {}
    bool isComplete() const override;
    bool validatePage() override;

    // What Next does to a URL without a scheme: "/" at the end when it has none at all,
    // "http://" in front. URLs with a scheme are left as they are.
    static std::string CompleteUrl(const std::string& url);

private:
    void SelectMode(bool fromUrl);
    void Browse();

    NewIndexWizard& m_wizard;
    QRadioButton* m_fileMode = nullptr;
    QLineEdit* m_file = nullptr;
    QRadioButton* m_urlMode = nullptr;
    QLineEdit* m_url = nullptr;
    bool m_updating = false;
};

} // namespace tamblin
