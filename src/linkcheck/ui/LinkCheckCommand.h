#pragma once

class QWidget;

namespace tamblin {

class CContentsView;
struct LinkUse;

// Test > Check links...: the check dialog on the view's index; a row the user opens is shown
// in the tree.
class LinkCheckCommand final {
public:
    static void Run(QWidget* parent, CContentsView& view);
    // Selects the entry a link belongs to; a keyword's link opens its sheet on that keyword.
    static void ShowUse(CContentsView& view, const LinkUse& use);
};

} // namespace tamblin
