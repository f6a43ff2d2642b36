#pragma once

#include <QWidget>

namespace tamblin {

// One page of a CPropertySheet. A page fills its controls the first time it is shown, so
// that it sees what the pages before it changed.
class CPropertyPage : public QWidget {
    Q_OBJECT

public:
    using QWidget::QWidget;

    // Called each time the page becomes the active page.
    void Activate();
    bool IsInitialised() const { return m_initialised; }
    // The leave check: false keeps the page active (the page has told the user why).
    virtual bool OnKillActive() { return true; }
    // The sheet's OK on a page that has been shown: false keeps the sheet open.
    virtual bool OnOk() { return true; }
    bool IsModified() const { return m_modified; }

protected:
    // How many characters a drop-down box asks room for: its items are the user's URLs and
    // anchors, and the longest must not set the width of the sheet.
    static constexpr int kComboChars = 20;

    virtual void OnInitPage() {}
    virtual void OnSetActive() {}

    // Keeps the page's own change handlers quiet while it fills its controls.
    bool m_updating = false;
    bool m_modified = false;

private:
    bool m_initialised = false;
};

} // namespace tamblin
