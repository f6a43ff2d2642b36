#include "update/ui/UpdateFromSiteCommand.h"

#include "contents/IndexContentStep.h"
#include "contents/ui/CContentsView.h"
#include "document/ui/CXoDoc.h"
#include "index/IndexFile.h"
#include "index/UrlUtils.h"
#include "platform/CommonPrompts.h"
#include "scanner/NewWizardValues.h"
#include "scanner/ScanSettingsText.h"
#include "scanner/ui/NewIndexCommand.h"
#include "update/IndexMerge.h"
#include "update/ui/UpdateReviewDialog.h"

#include <QFile>

#include <cstdio>

namespace tamblin {

namespace {

// The scan the index remembers; without one, the New wizard's last source and options, and
// the start page asked for when that is no file.
bool SettingsFor(QWidget* parent, const IndexFile& index, const NewWizardValues& kept,
                 ScanSettings& settings) {
    settings = kept.ScanFor(index.m_description);
    if (ScanSettingsText::Decode(index.m_scanSource, settings)) {
        settings.description = index.m_description;
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

void UpdateFromSiteCommand::RememberScan(IndexFile& index, const ScanSettings& settings) {
    index.m_scanSource = ScanSettingsText::Encode(settings);
    IndexMerge::MarkScanned(index.m_root);
}

void UpdateFromSiteCommand::Run(QWidget* parent, CContentsView& view, const NewWizardValues& kept) {
    CXoDoc* document = view.Document();
    IndexFile* index = document ? document->Index() : nullptr;
    ScanSettings settings;
    if (!index || !SettingsFor(parent, *index, kept, settings)) {
        return;
    }
    NewIndexCommand::Outcome outcome = NewIndexCommand::Scan(parent, settings);
    if (outcome.kind != NewIndexCommand::Outcome::Kind::Scanned) {
        return;
    }
    IndexFile scanned;
    int loaded = scanned.Load(outcome.temporaryPath);
    std::remove(outcome.temporaryPath.c_str());
    if (!loaded || !outcome.complete) {
        // Pages a stopped scan did not reach would all look gone.
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
    IndexMerge merge(work, index->m_baseUrls, scanned, settings.caseSignificant);
    UpdateReviewDialog review(merge.Result(), parent);
    if (review.exec() != QDialog::Accepted) {
        return;
    }
    merge.Apply();
    std::string source =
        settings.rememberScan ? ScanSettingsText::Encode(settings) : index->m_scanSource;
    view.DoStep(std::make_unique<IndexContentStep>("Update from site", *index,
                                                   std::move(work.m_children), source));
}

} // namespace tamblin
