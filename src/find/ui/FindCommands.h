#pragma once

#include "contents/ui/CContentsView.h"
#include "find/IndexFinder.h"
#include "find/ui/CFindDialog.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

namespace tamblin {

class AppSettings;

// Find in the index for the contents view: Find... (Ctrl+F) with its modeless dialog and
// Find next (F3). It keeps the view's find state: the text to find, the options of the
// last search, the previous search text and the open dialog. A hit selects the node and,
// unless it is in the title, opens the page where the matching text can be edited.
class FindCommands final : public QObject {
    Q_OBJECT

public:
    // The main frame's status bar message.
    using StatusText = std::function<void(const QString& text)>;
    // Help for a window's help id.
    using HelpRequest = std::function<void(unsigned helpId)>;

    // Lives as long as the view, which owns it.
    FindCommands(CContentsView& view, AppSettings& settings, StatusText status, HelpRequest help);

    void PlugCommands(const CContentsView::Plug& plug);
    // Opens the dialog, or brings the open one to the front.
    void OnFind();
    void OnFindNext();
    bool CanFindNext() const { return !m_text.isEmpty(); }

    CFindDialog* Dialog() const { return m_dialog; }
    const QString& Text() const { return m_text; }

Q_SIGNALS:
    // "In URLs" or "In Index keywords" was switched in the dialog.
    void SettingsChanged();

private:
    void OnDialogFindNext();
    void FindNext();
    void ShowHit(const FindHit& hit, const QString& searched);
    QTreeWidgetItem* NodeOfHit(const FindHit& hit) const;
    void Tell(const QString& text, bool information);

    CContentsView& m_view;
    AppSettings& m_settings;
    StatusText m_status;
    HelpRequest m_help;
    QString m_text;
    bool m_matchCase = false;
    bool m_wholeWord = false;
    IndexFinder m_finder;
    QPointer<CFindDialog> m_dialog;
};

} // namespace tamblin
