#pragma once

#include "contents/ui/CContentsView.h"

namespace tamblin {

class CXoDoc;

// The Index File sheet: page 0 or negative opens General; positive opens Base URLs and
// preselects that base URL (counted from 1). Changed when OK wrote anything back.
CContentsView::SheetResult RunIndexFileSheet(QWidget* parent, const CXoDoc& document, int page);

} // namespace tamblin
