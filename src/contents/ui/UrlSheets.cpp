#include "contents/ui/UrlSheets.h"

#include "contents/ui/CPropertySheet.h"
#include "contents/ui/CURLIndices.h"
#include "contents/ui/CURLProperties.h"
#include "document/ui/CXoDoc.h"
#include "index/IndexEntry.h"
#include "index/IndexFile.h"

namespace tamblin {

using SheetResult = CContentsView::SheetResult;

SheetResult RunUrlPropertiesSheet(QWidget* parent, const CXoDoc& document, IndexEntry& entry,
                                  int page, bool newEntry) {
    CPropertySheet sheet(QStringLiteral("URL Properties"), parent);
    auto* general = new CURLProperties(document, entry, newEntry);
    auto source = [general] {
        return CURLIndices::General{general->Url(), general->Title(), general->TargetFrame(),
                                    general->OwnTarget(), general->BaseTarget()};
    };
    auto* keywords = new CURLIndices(document, entry, source, page, false);
    sheet.AddPage(general, QStringLiteral("General"));
    sheet.AddPage(keywords, QStringLiteral("Index Keywords"));
    sheet.SetActivePage(page > 0 ? 1 : 0);
    if (sheet.exec() != QDialog::Accepted) {
        return SheetResult::Cancelled;
    }
    keywords->ApplyTo(entry);
    return general->ApplyTo(entry, keywords->IsModified()) ? SheetResult::Changed
                                                           : SheetResult::Unchanged;
}

SheetResult RunOtherKeywordsSheet(QWidget* parent, const CXoDoc& document, int page) {
    IndexEntry& entry = document.Index()->m_otherKeywords;
    CPropertySheet sheet(QStringLiteral("Other Index keywords"), parent);
    CURLIndices::General fixed{
        document.Decode(entry.m_url), document.Decode(entry.m_title), {}, false, {}};
    auto* keywords = new CURLIndices(
        document, entry, [fixed] { return fixed; }, page, true);
    sheet.AddPage(keywords, QStringLiteral("Index Keywords"));
    sheet.SetActivePage(0);
    if (sheet.exec() != QDialog::Accepted) {
        return SheetResult::Cancelled;
    }
    keywords->ApplyTo(entry);
    return keywords->IsModified() ? SheetResult::Changed : SheetResult::Unchanged;
}

} // namespace tamblin
