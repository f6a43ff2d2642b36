#include "contents/ui/IndexFileSheet.h"

#include "contents/ui/CIndexFileBaseURLs.h"
#include "contents/ui/CIndexFileSettings.h"
#include "contents/ui/CPropertySheet.h"
#include "document/ui/CXoDoc.h"
#include "index/BaseUrl.h"
#include "index/IndexFile.h"
#include "platform/CommonPrompts.h"
#include "platform/DialogService.h"

namespace tamblin {

namespace {

void SetBaseForAll(QWidget* parent, IndexFile& index, BaseUrl& base) {
    // The root entry takes the base URL too, but only the entries below it are counted.
    int count = index.m_root.SetBaseForAll(&base) - 1;
    DialogService::Message message;
    message.text = FormatMessage1(QStringLiteral("%1 URLs set"), QString::number(count));
    message.icon = DialogService::Icon::Information;
    Dialogs().ShowMessage(parent, message);
    if (count >= 1) {
        base.m_inUse = 1;
    }
}

} // namespace

CContentsView::SheetResult RunIndexFileSheet(QWidget* parent, const CXoDoc& document, int page,
                                             std::vector<std::unique_ptr<BaseUrl>>* removed) {
    IndexFile& index = *document.Index();
    CPropertySheet sheet(QStringLiteral("Index File"), parent);
    auto* settings = new CIndexFileSettings(document);
    auto* baseUrls = new CIndexFileBaseURLs(document, page);
    baseUrls->SetOkAction([&sheet] { sheet.accept(); });
    sheet.AddPage(settings, QStringLiteral("General"));
    sheet.AddPage(baseUrls, QStringLiteral("Base URLs"));
    sheet.SetActivePage(page > 0 ? 1 : 0);
    if (sheet.exec() != QDialog::Accepted) {
        return CContentsView::SheetResult::Cancelled;
    }
    bool baseModified = baseUrls->IsModified();
    BaseUrl* chosen = baseModified ? baseUrls->ApplyTo(index, removed) : nullptr;
    bool settingsChanged = settings->ApplyTo(index);
    if (chosen) {
        SetBaseForAll(parent, index, *chosen);
    }
    return baseModified || settingsChanged ? CContentsView::SheetResult::Changed
                                           : CContentsView::SheetResult::Unchanged;
}

} // namespace tamblin
