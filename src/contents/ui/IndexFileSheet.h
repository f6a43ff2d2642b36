#pragma once

#include "contents/ui/CContentsView.h"

#include <memory>
#include <vector>

namespace tamblin {

class BaseUrl;
class CXoDoc;

// The Index File sheet: page 0 or negative opens General; positive opens Base URLs and
// preselects that base URL (counted from 1). Changed when OK wrote anything back. The base
// URL records that OK deleted go to `removed` when given (an undo can bring them back),
// else they are released.
CContentsView::SheetResult
RunIndexFileSheet(QWidget* parent, const CXoDoc& document, int page,
                  std::vector<std::unique_ptr<BaseUrl>>* removed = nullptr);

} // namespace tamblin
