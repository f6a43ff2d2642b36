#include "find/ui/FindCommands.h"

#include "app/AppSettings.h"
#include "app/HelpIds.h"
#include "document/ui/CXoDoc.h"
#include "find/ui/CFindDialog.h"
#include "index/IndexFile.h"
#include "platform/CommandHost.h"
#include "platform/CommonPrompts.h"
#include "platform/DialogService.h"

namespace tamblin {

FindCommands::FindCommands(CContentsView& view, AppSettings& settings, StatusText status,
                           HelpRequest help)
    : QObject(&view), m_view(view), m_settings(settings), m_status(std::move(status)),
      m_help(std::move(help)) {}

void FindCommands::PlugCommands(const CContentsView::Plug& plug) {
    plug(Command::EditFind, [this] { OnFind(); }, {});
    plug(
        Command::EditFindNext, [this] { OnFindNext(); }, [this] { return CanFindNext(); });
}

void FindCommands::OnFind() {
    if (m_dialog) {
        m_dialog->show();
        m_dialog->raise();
        m_dialog->activateWindow();
        return;
    }
    m_dialog = new CFindDialog(&m_view, m_text, m_wholeWord, m_matchCase, m_settings);
    connect(m_dialog, &CFindDialog::FindNextRequested, this, &FindCommands::OnDialogFindNext);
    connect(m_dialog, &CFindDialog::SettingsChanged, this, &FindCommands::SettingsChanged);
    connect(m_dialog, &CFindDialog::HelpRequested, this, [this] {
        if (m_help) {
            m_help(WindowHelpId("findDialog"));
        }
    });
    m_dialog->show();
    // Typing goes to the text box at once, even where no window manager hands over focus.
    m_dialog->activateWindow();
}

void FindCommands::OnFindNext() {
    if (CanFindNext()) {
        FindNext();
    }
}

void FindCommands::OnDialogFindNext() {
    if (!m_dialog) {
        return;
    }
    m_text = m_dialog->Text();
    m_matchCase = m_dialog->MatchCase();
    m_wholeWord = m_dialog->WholeWord();
    // Find next may just have become possible.
    Q_EMIT m_view.SelectionChanged();
    FindNext();
}

void FindCommands::FindNext() {
    CXoDoc* document = m_view.Document();
    if (!document || !document->Index() || !m_view.RootNode()) {
        return;
    }
    FindRequest request{document->Encode(m_text), m_matchCase, m_wholeWord, m_settings.m_findUrls,
                        m_settings.m_findIndices};
    IndexFinder::Result result =
        m_finder.FindNext(*document->Index(), m_view.SelectedEntry(), request);
    QString searched = document->Decode(result.searched);
    switch (result.outcome) {
    case IndexFinder::Outcome::NoScope:
        Tell(QStringLiteral("You must select one of \"In URLs\" or \"In Index keywords\"."), false);
        break;
    case IndexFinder::Outcome::NotFound:
        Tell(FormatMessage1(QStringLiteral("Cannot find the string '%1'"), searched), true);
        break;
    case IndexFinder::Outcome::Found:
        ShowHit(result.hit, searched);
        break;
    }
}

void FindCommands::ShowHit(const FindHit& hit, const QString& searched) {
    if (m_dialog) {
        // It deletes itself once control is back in the event loop.
        m_dialog->close();
        m_dialog = nullptr;
    }
    QTreeWidgetItem* node = NodeOfHit(hit);
    if (!node) {
        return;
    }
    for (QTreeWidgetItem* above = node->parent(); above; above = above->parent()) {
        above->setExpanded(true);
    }
    m_view.setCurrentItem(node);
    m_view.scrollToItem(node);
    if (hit.kind == FindHit::Kind::Title) {
        return;
    }
    if (m_status) {
        m_status(FormatMessage1(QStringLiteral("Found string '%1'"), searched));
    }
    m_view.OpenSheet(node, hit.kind == FindHit::Kind::General ? -1 : hit.position);
    if (m_status) {
        m_status(QString::fromLatin1(kIdleStatusText));
    }
}

QTreeWidgetItem* FindCommands::NodeOfHit(const FindHit& hit) const {
    IndexFile* index = m_view.Document()->Index();
    if (hit.node == &index->m_root) {
        return m_view.RootNode();
    }
    if (hit.node == &index->m_otherKeywords) {
        return m_view.OtherKeywordsNode();
    }
    return CContentsView::NodeOf(*hit.node);
}

void FindCommands::Tell(const QString& text, bool information) {
    DialogService::Message message;
    message.text = text;
    message.icon = information ? DialogService::Icon::Information : DialogService::Icon::Warning;
    QWidget* parent = m_dialog ? static_cast<QWidget*>(m_dialog.data()) : &m_view;
    Dialogs().ShowMessage(parent, message);
}

} // namespace tamblin
