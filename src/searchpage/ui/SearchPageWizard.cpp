#include "searchpage/ui/SearchPageWizard.h"

#include "searchpage/ui/CCallColoursFont.h"
#include "searchpage/ui/CCallImages.h"
#include "searchpage/ui/CCallIndices.h"
#include "searchpage/ui/CCallLocation.h"
#include "searchpage/ui/CCallRunMode.h"
#include "searchpage/ui/CCallTest.h"

namespace tamblin {

SearchPageWizard::SearchPageWizard(SearchPageSettings& settings, QWidget* parent)
    : QWizard(parent), m_settings(settings) {
    setObjectName(QStringLiteral("searchPageWizard"));
    setWindowTitle(QStringLiteral("New web page"));
    setWizardStyle(QWizard::ClassicStyle);
    setOption(QWizard::NoBackButtonOnStartPage, true);
    setPage(kLocation, new CCallLocation(*this));
    setPage(kIndices, new CCallIndices(*this));
    setPage(kRunMode, new CCallRunMode(*this));
    setPage(kColoursFont, new CCallColoursFont(*this));
    setPage(kImages, new CCallImages(*this));
    setPage(kTest, new CCallTest(*this));
    setStartId(kLocation);
}

} // namespace tamblin
