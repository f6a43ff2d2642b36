#pragma once

#include "contents/ui/CContentsView.h"

namespace tamblin {

class CXoDoc;
class IndexEntry;

// The URL Properties sheet on `entry`: page 0 or negative opens General, positive opens
// Index Keywords and preselects that keyword (counted from 1). Changed when OK wrote
// anything back into the entry.
CContentsView::SheetResult RunUrlPropertiesSheet(QWidget* parent, const CXoDoc& document,
                                                 IndexEntry& entry, int page, bool newEntry);

// The Other Index keywords sheet on the index file's other-keywords entry.
CContentsView::SheetResult RunOtherKeywordsSheet(QWidget* parent, const CXoDoc& document, int page);

} // namespace tamblin
