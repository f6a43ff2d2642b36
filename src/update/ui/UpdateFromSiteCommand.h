#pragma once

class QWidget;

namespace tamblin {

class CContentsView;
struct NewWizardValues;

// Edit > Update from site...: scans the index's site again in the scan report dialog, shows
// the changes in the review dialog, and makes the checked ones as one undoable edit.
class UpdateFromSiteCommand final {
public:
    // `kept`: the New wizard's values, the start page and options offered when the index
    // does not remember its scan.
    static void Run(QWidget* parent, CContentsView& view, const NewWizardValues& kept);
};

} // namespace tamblin
