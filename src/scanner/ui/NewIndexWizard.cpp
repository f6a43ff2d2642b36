#include "scanner/ui/NewIndexWizard.h"

#include "scanner/ui/CNewIndexFile.h"
#include "scanner/ui/CScanOptions.h"
#include "scanner/ui/CScanSource.h"

#include <QWizardPage>

namespace tamblin {

NewIndexWizard::NewIndexWizard(const NewWizardValues& values, QWidget* parent)
    : QWizard(parent), m_values(values) {
    setObjectName(QStringLiteral("NewIndexWizard"));
    setWindowTitle(QStringLiteral("New"));
    setWizardStyle(QWizard::ClassicStyle);
    setPage(kNewIndexFile, new CNewIndexFile(*this));
    setPage(kScanSource, new CScanSource(*this));
    setPage(kScanOptions, new CScanOptions(*this));
    setStartId(kNewIndexFile);
    // The window caption follows the page, as the page captions are the wizard's titles.
    connect(this, &QWizard::currentIdChanged, this, [this] {
        if (QWizardPage* shown = currentPage()) {
            setWindowTitle(shown->title());
        }
    });
}

void NewIndexWizard::SetLanguageFileAvailable(bool available) {
    static_cast<CNewIndexFile*>(page(kNewIndexFile))->SetLanguageFileAvailable(available);
}

} // namespace tamblin
