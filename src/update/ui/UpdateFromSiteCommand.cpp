#include "update/ui/UpdateFromSiteCommand.h"

#include "contents/IndexContentStep.h"
#include "contents/ui/CContentsView.h"
#include "document/ui/CXoDoc.h"
#include "index/IndexFile.h"
#include "index/UrlUtils.h"
#include "platform/CommonPrompts.h"
#include "scanner/NewWizardValues.h"
#include "scanner/ui/NewIndexCommand.h"
#include "update/IndexMerge.h"
#include "update/SiteRescan.h"
#include "update/ui/UpdateReviewDialog.h"

#include <QFile>

namespace tamblin {

namespace {

// The scan the index remembers; without one, the New wizard's last source and options, and
// the start page asked for when that is no file.
bool SettingsFor(QWidget* parent, const IndexFile& index, const NewWizardValues& kept,
                 ScanSettings& settings) {
    settings = kept.ScanFor(index.m_description);
    if (SiteRescan::RememberedSettings(index, settings)) {
        return true;
    }
    if (settings.fromUrl ? IsAbsoluteUrl(settings.start) != 0 : FileExists(settings.start)) {
        return true;
    }
    QString path = QFile::decodeName(settings.fromUrl ? "" : settings.start.c_str());
    if (!PromptFileName(parent, true, QStringLiteral("html"), QStringLiteral("Scan web page"), path,
                        QStringLiteral("Web Page Files (*.htm *.html)|*.htm;*.html|All Files "
                                       "(*.*)|*.*||"))) {
        return false;
    }
    settings.fromUrl = false;
    settings.start = QFile::encodeName(path).toStdString();
    return true;
}

} // namespace

void UpdateFromSiteCommand::Run(QWidget* parent, CContentsView& view, const NewWizardValues& kept) {
    CXoDoc* document = view.Document();
    IndexFile* index = document ? document->Index() : nullptr;
    ScanSettings settings;
    if (!index || !SettingsFor(parent, *index, kept, settings)) {
        return;
    }
    SiteRescan rescan(settings);
    std::shared_ptr<const SearchIndexData> words;
    SiteRescan::Status status = rescan.Run([parent, &words](const ScanSettings& scanSettings) {
        NewIndexCommand::Outcome outcome = NewIndexCommand::Scan(parent, scanSettings);
        if (outcome.kind != NewIndexCommand::Outcome::Kind::Scanned) {
            return FinishedScan{};
        }
        words = outcome.words;
        // The scan command says only whether the scan read the whole site.
        return FinishedScan{outcome.temporaryPath, !outcome.complete, !outcome.complete};
    });
    if (status == SiteRescan::Status::NotStarted) {
        return;
    }
    if (status != SiteRescan::Status::Scanned) {
        ShowWarning(parent,
                    QStringLiteral("The scan did not read the whole site, so the index is left "
                                   "as it was."));
        return;
    }
    // The merge works on a copy, which becomes the index's contents in one undoable step.
    IndexEntry work;
    if (view.RootNode()) {
        view.SaveState(view.RootNode()); // the copies open where the tree is open now
    }
    for (const auto& child : index->m_root.m_children) {
        work.AppendChild(child->Clone());
    }
    IndexMerge& merge = rescan.Plan(work, index->m_baseUrls);
    UpdateReviewDialog review(merge.Result(), parent);
    if (review.exec() != QDialog::Accepted) {
        return;
    }
    merge.Apply();
    std::string source = settings.rememberScan ? rescan.ScanSource() : index->m_scanSource;
    view.DoStep(std::make_unique<IndexContentStep>("Update from site", *index,
                                                   std::move(work.m_children), source));
    // The words of the pages as they are now go beside the index at its next save; an
    // update without them takes the old ones away then.
    if (words || !settings.fullText) {
        document->KeepWords(std::move(words));
    }
}

} // namespace tamblin
