#include "linkcheck/ui/LinkCheckCommand.h"

#include "contents/ui/CContentsView.h"
#include "document/ui/CXoDoc.h"
#include "index/IndexFile.h"
#include "linkcheck/ui/LinkCheckDialog.h"

#include <QFile>

namespace tamblin {

void LinkCheckCommand::Run(QWidget* parent, CContentsView& view) {
    CXoDoc* document = view.Document();
    if (!document || !document->Index()) {
        return;
    }
    std::string path = QFile::encodeName(document->PathName()).toStdString();
    LinkCheckDialog dialog(
        *document->Index(), path, [&view](const LinkUse& use) { ShowUse(view, use); }, parent);
    dialog.exec();
}

void LinkCheckCommand::ShowUse(CContentsView& view, const LinkUse& use) {
    IndexFile* index = view.Document() ? view.Document()->Index() : nullptr;
    if (!index || !use.entry) {
        return;
    }
    QTreeWidgetItem* node = use.entry == &index->m_otherKeywords
                                ? view.OtherKeywordsNode()
                                : CContentsView::NodeOf(*use.entry);
    if (!node) {
        return;
    }
    for (QTreeWidgetItem* above = node->parent(); above; above = above->parent()) {
        above->setExpanded(true);
    }
    view.setCurrentItem(node);
    view.scrollToItem(node);
    // The keyword sheet may have dropped keywords since the check; the position is checked.
    if (use.keyword >= 0 && use.keyword < static_cast<int>(use.entry->m_keywords.size())) {
        view.OpenSheet(node, use.keyword + 1);
    }
}

} // namespace tamblin
