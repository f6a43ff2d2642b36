#include "document/ui/CXoDoc.h"

#include "fulltext/SearchIndexRemoval.h"
#include "fulltext/SearchIndexWriter.h"

#include "index/ReplacingFile.h"
#include "index/TextCodec.h"
#include "index/TextUtils.h"
#include "platform/CommonPrompts.h"
#include "platform/DialogService.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>

namespace tamblin {

namespace {

QString FromBytes(const std::string& bytes) {
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string ToBytes(const QString& text) {
    return text.toUtf8().toStdString();
}

// Paths go to the core in the form the file system takes.
std::string ToPath(const QString& path) {
    QByteArray encoded = QFile::encodeName(path);
    return std::string(encoded.constData(), static_cast<size_t>(encoded.size()));
}

} // namespace

CXoDoc::CXoDoc(QObject* parent) : QObject(parent), m_watcher(new QFileSystemWatcher(this)) {
    // Queued: a save that replaces the file is reported after it has finished.
    connect(
        m_watcher, &QFileSystemWatcher::fileChanged, this, [this] { CheckDiskChange(); },
        Qt::QueuedConnection);
}

CXoDoc::~CXoDoc() = default;

bool CXoDoc::NewIndex(const std::string& description) {
    ReleaseIndex();
    m_index = std::make_unique<IndexFile>();
    m_encoding = TextEncoding::Utf8;
    m_modified = false;
    ++m_generation;
    if (!description.empty()) {
        // A new index that starts modified has no saved state to come back to.
        m_history.MarkUnsaved();
        m_index->m_description = description;
        m_index->m_changed = 1;
        m_modified = true;
    } else {
        m_index->m_description = "MySite";
    }
    SetUnsavedPathName(QDir::current().absoluteFilePath(FromBytes(m_index->m_description)));
    UpdateAllViews();
    return true;
}

bool CXoDoc::OpenIndex(const QString& path) {
    if (path.right(4).compare(QStringLiteral(".xol"), Qt::CaseInsensitive) == 0) {
        ShowMessage(QStringLiteral("Please open language files using File+Open language file"));
        return false;
    }
    auto index = std::make_unique<IndexFile>();
    // Taken before reading: a change made while the file is read is then seen as one.
    FileStamp stamp = FileStamp::Of(ToPath(path));
    switch (index->LoadIndex(ToPath(path))) {
    case LoadResult::CannotOpen:
        ShowMessage(FormatMessage1(QStringLiteral("Could not open file (%1)"), path));
        return false;
    case LoadResult::NotAnIndex:
        ShowNotAnIndex(*index, path);
        return false;
    case LoadResult::Opened:
        break;
    }
    ShowBadLines(*index);
    ReleaseIndex();
    m_diskStamp = stamp;
    m_keptOver = {};
    m_index = std::move(index);
    ++m_generation;
    m_index->m_changed = 0;
    m_encoding = DetectEncoding(*m_index);
    m_modified = false;
    return true;
}

bool CXoDoc::SaveIndex(const QString& path, bool replaceReadOnly) {
    if (!m_index ||
        !(m_words ? SaveWithWords(path, replaceReadOnly)
                  : m_index->Save(ToPath(path), {.replaceReadOnly = replaceReadOnly}))) {
        return false;
    }
    m_index->m_changed = 0;
    m_history.MarkSaved();
    SetModifiedFlag(false);
    m_diskStamp = FileStamp::Of(m_index->m_fileName);
    m_keptOver = {};
    if (!m_words && m_wordsFromScan &&
        SearchIndexRemoval::RemoveStale(m_index->m_fileName) ==
            SearchIndexRemoval::Outcome::Failed) {
        ShowWordsLag(path);
    }
    if (m_index->CompanionStale()) {
        // Saved all the same: only pages opened from disk lag behind.
        ShowMessage(FormatMessage1(
            QStringLiteral("The index was saved, but the script beside it that search pages read "
                           "from disk (%1) could not be written again: a page opened from disk "
                           "shows the index as it was before. Check that the folder can be "
                           "written to, and save again."),
            path + QStringLiteral(".js")));
    }
    return true;
}

// The words are written and synced first and take their place only once the index is saved:
// an index that cannot be saved leaves the old index beside the old words. Words that cannot
// be written do not keep the author's edits from the disk: the index is saved all the same,
// and only the Search tab lags behind.
bool CXoDoc::SaveWithWords(const QString& path, bool replaceReadOnly) {
    bool indexTried = false;
    bool saved = false;
    auto saveIndex = [&] {
        indexTried = true;
        saved = m_index->Save(ToPath(path), {.replaceReadOnly = replaceReadOnly});
        return saved;
    };
    SaveResult words = SearchIndexWriter::Write(*m_words, ToPath(path), saveIndex);
    if (!indexTried) {
        saveIndex();
    }
    if (saved && !words.Ok()) {
        ShowWordsLag(path);
    }
    return saved;
}

void CXoDoc::ShowWordsLag(const QString& path) {
    // Saved all the same: only the Search tab of the search page lags behind.
    ShowMessage(FormatMessage1(
        QStringLiteral("The index was saved, but not its full-text search index (%1): "
                       "the Search tab of a search page shows the words as they were "
                       "before. Check that the folder can be written to, and save "
                       "again."),
        path + QStringLiteral(".search")));
}

bool CXoDoc::OpenScannedIndex(const QString& temporaryPath, const QString& pathName,
                              const QString& title) {
    bool opened = OpenIndex(temporaryPath);
    QFile::remove(temporaryPath);
    if (!opened) {
        return false;
    }
    // The temporary file is gone: the first Save must ask for a name, and no file holds
    // this index yet.
    m_index->m_fileName.clear();
    m_index->m_fileSize = IndexFile::kNeverSaved;
    m_history.MarkUnsaved();
    SetModifiedFlag(true);
    SetUnsavedPathName(pathName);
    m_title = title;
    Q_EMIT TitleChanged();
    UpdateAllViews();
    return true;
}

void CXoDoc::ReleaseIndex() {
    // Steps own entries and base URLs of this index and point into it: they go first.
    m_history.Clear();
    m_index.reset();
    m_words.reset();
    m_wordsFromScan = false;
}

namespace {

// Enough lines to see what is wrong, few and short enough for the box to fit any screen.
constexpr size_t kShownLines = 20;
constexpr size_t kShownLineBytes = 120;

// The lines as the file holds them, in the file's own encoding.
QString ShownLines(const IndexFile& index, const std::string& text) {
    return DetectEncoding(index) == TextEncoding::Utf8 && IsValidUtf8(text, Utf8Rule::Shape)
               ? FromBytes(text)
               : FromBytes(Windows1252ToUtf8(text));
}

} // namespace

void CXoDoc::ShowBadLines(const IndexFile& index) {
    std::string text = index.BadLinesMessage(kShownLines, kShownLineBytes);
    if (text.empty()) {
        return;
    }
    DialogService::Message message;
    message.text = ShownLines(index, text);
    message.icon = DialogService::Icon::Stop;
    Dialogs().ShowMessage(m_window, message);
}

void CXoDoc::ShowNotAnIndex(const IndexFile& index, const QString& path) {
    DialogService::Message message;
    QString name = QDir::toNativeSeparators(path);
    message.text =
        index.HoldsNul()
            ? FormatMessage1(QStringLiteral("%1 is not an index file: it holds NUL bytes, which "
                                            "no index file does. It was not opened."),
                             name)
            : FormatMessage1(QStringLiteral("%1 is not an index file: none of its lines is a "
                                            "record of one. It was not opened.\n\n"),
                             name) +
                  ShownLines(index, index.ListBadLines(kShownLines / 2, kShownLineBytes));
    message.icon = DialogService::Icon::Stop;
    Dialogs().ShowMessage(m_window, message);
}

void CXoDoc::ShowMessage(const QString& text, unsigned helpId) {
    DialogService::Message message;
    message.text = text;
    message.icon = DialogService::Icon::Warning;
    message.helpId = helpId;
    Dialogs().ShowMessage(m_window, message);
}

bool CXoDoc::DoFileSave() {
    QFileInfo file(m_pathName);
    // Read-only as the saving code sees it, which the administrator's rights do not change.
    bool canWrite = m_pathIsFile && !m_pathName.isEmpty() && file.isFile() &&
                    ReplacingFile::Check(ToPath(m_pathName)).status != SaveStatus::ReadOnly;
    return DoSave(m_pathName, !canWrite);
}

bool CXoDoc::DoSave(const QString& suggested, bool askForName) {
    QString path = suggested;
    if (askForName &&
        !PromptFileName(m_window, false, QStringLiteral("xo"), QStringLiteral("Save As"), path,
                        QString::fromLatin1(kIndexFilter))) {
        return false;
    }
    if (!ConfirmSaveOverChange(path)) {
        return false;
    }
    bool saved = SaveIndex(path);
    if (!saved && m_index && m_index->LastSave().status == SaveStatus::ReadOnly &&
        ConfirmReplaceReadOnly(m_window, QDir::toNativeSeparators(path))) {
        saved = SaveIndex(path, true);
    }
    if (!saved) {
        if (m_index && m_index->LastSave().status == SaveStatus::ReadOnly) {
            return false;
        }
        // A failed save is said out loud: the user must not leave believing it was saved.
        std::string reason = m_index ? m_index->SaveError() : std::string();
        ShowMessage(reason.empty()
                        ? FormatMessage1(QStringLiteral("Could not save file (%1)"), path)
                        : QString::fromLocal8Bit(reason.c_str()));
        return false;
    }
    SetPathName(path);
    Q_EMIT PathSaved(m_pathName);
    return true;
}

bool CXoDoc::SaveModified() {
    if (!m_modified) {
        return true;
    }
    DialogService::Message message;
    message.text = FormatMessage1(QStringLiteral("Save changes to %1?"), m_title);
    message.icon = DialogService::Icon::Question;
    message.buttons = DialogService::Buttons::YesNoCancel;
    switch (Dialogs().ShowMessage(m_window, message)) {
    case DialogService::Answer::Yes:
        return DoFileSave();
    case DialogService::Answer::No:
        return true;
    default:
        return false;
    }
}

bool CXoDoc::SaveBeforeUse() {
    if (!m_modified) {
        return true;
    }
    DialogService::Message message;
    message.text = QStringLiteral("Do you want to save the current index file first?");
    message.icon = DialogService::Icon::Question;
    message.buttons = DialogService::Buttons::YesNoCancel;
    switch (Dialogs().ShowMessage(m_window, message)) {
    case DialogService::Answer::Yes:
        // A failed or cancelled save goes on with the file as last saved, as No does.
        DoFileSave();
        return true;
    case DialogService::Answer::No:
        return true;
    default:
        return false;
    }
}

void CXoDoc::SetModifiedFlag(bool modified) {
    m_modified = modified;
}

void CXoDoc::SetPathName(const QString& path) {
    m_pathName = QFileInfo(path).absoluteFilePath();
    m_title = QFileInfo(m_pathName).fileName();
    m_pathIsFile = true;
    WatchFile();
    Q_EMIT TitleChanged();
}

void CXoDoc::SetUnsavedPathName(const QString& path) {
    SetPathName(path);
    m_pathIsFile = false;
    WatchFile();
}

void CXoDoc::WatchFile() {
    if (!m_watcher->files().isEmpty()) {
        m_watcher->removePaths(m_watcher->files());
    }
    if (m_pathIsFile && QFileInfo::exists(m_pathName)) {
        m_watcher->addPath(m_pathName);
    }
}

bool CXoDoc::ConfirmSaveOverChange(const QString& path) {
    if (!m_pathIsFile || QFileInfo(path).absoluteFilePath() != m_pathName) {
        return true;
    }
    FileStamp now = FileStamp::Of(ToPath(m_pathName));
    if (!now.exists || now == m_diskStamp) {
        return true;
    }
    DialogService::Message message;
    message.text = FormatMessage1(
        QStringLiteral("%1 has changed on disk since it was opened. Save over it?"), m_title);
    message.icon = DialogService::Icon::Question;
    message.buttons = DialogService::Buttons::YesNo;
    return Dialogs().ShowMessage(m_window, message) == DialogService::Answer::Yes;
}

void CXoDoc::CheckDiskChange() {
    // A replaced file is a new one to the system: the watch must be set on it again.
    WatchFile();
    if (!m_pathIsFile || !m_index || m_askingAboutDisk) {
        return;
    }
    FileStamp now = FileStamp::Of(ToPath(m_pathName));
    // A file that is gone has nothing to reload; a save puts it back.
    if (!now.exists || now == m_diskStamp || now == m_keptOver) {
        return;
    }
    if (QApplication::activeModalWidget()) {
        // Not over a dialog the user is busy with: asked once it has closed.
        QTimer::singleShot(500, this, [this] { CheckDiskChange(); });
        return;
    }
    m_askingAboutDisk = true;
    DialogService::Message message;
    message.text = FormatMessage1(QStringLiteral("%1 has changed on disk. Reload it?"), m_title);
    message.icon = DialogService::Icon::Question;
    message.buttons = DialogService::Buttons::YesNo;
    bool reload = Dialogs().ShowMessage(m_window, message) == DialogService::Answer::Yes;
    m_askingAboutDisk = false;
    if (!reload) {
        m_keptOver = now;
        return;
    }
    QString path = m_pathName;
    if (OpenIndex(path)) {
        SetPathName(path);
        UpdateAllViews();
    }
}

QString CXoDoc::StatisticsText() const {
    return m_index ? FromBytes(m_index->StatisticsText()) : QString();
}

QString CXoDoc::Decode(const std::string& bytes) const {
    return m_encoding == TextEncoding::Utf8 ? FromBytes(bytes)
                                            : FromBytes(Windows1252ToUtf8(bytes));
}

std::string CXoDoc::Encode(const QString& text) const {
    return m_encoding == TextEncoding::Utf8 ? ToBytes(text) : Utf8ToWindows1252(ToBytes(text));
}

void CXoDoc::UpdateAllViews(QObject* sender) {
    Q_EMIT Changed(sender);
}

} // namespace tamblin
