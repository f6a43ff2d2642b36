#pragma once

#include "fulltext/SearchIndexData.h"

#include "app/TextEncoding.h"
#include "contents/EditHistory.h"
#include "index/FileStamp.h"
#include "index/IndexFile.h"

#include <QObject>
#include <QString>

#include <memory>
#include <string>

class QFileSystemWatcher;
class QWidget;

namespace tamblin {

// The one document: the open index file with its path name, title and modified flag.
// Views hear of every change through Changed().
class CXoDoc final : public QObject {
    Q_OBJECT

public:
    explicit CXoDoc(QObject* parent = nullptr);
    ~CXoDoc() override;

    // Parent of the document's message boxes.
    void SetWindow(QWidget* window) { m_window = window; }

    // `description` empty: "MySite", unmodified; otherwise modified with that description.
    bool NewIndex(const std::string& description = {});
    // Refuses language files and files that cannot be opened, keeping the current index.
    bool OpenIndex(const QString& path);
    // A read-only file is replaced only with `replaceReadOnly`.
    bool SaveIndex(const QString& path, bool replaceReadOnly = false);
    // The hand-over of a finished scan: loads the temporary file as Open does, marks the
    // index modified and unsaved under `pathName` and `title`, and deletes the file.
    bool OpenScannedIndex(const QString& temporaryPath, const QString& pathName,
                          const QString& title);
    void ReleaseIndex();
    // The words of the pages a scan read: from now on every save writes them beside the index
    // as its full-text search index, until another index takes this one's place. A scan that
    // kept none (null: the full text off, or the scan stopped) makes every save remove an
    // older search index beside the file instead, which would answer for other pages.
    void KeepWords(std::shared_ptr<const SearchIndexData> words) {
        m_words = std::move(words);
        m_wordsFromScan = true;
    }
    bool KeepsWords() const { return m_words != nullptr; }

    // Save: to the path when it names a writable file, else as Save As. True when saved.
    bool DoFileSave();
    bool DoSave(const QString& suggested, bool askForName);
    // "Save changes to %1?": false on Cancel or when the save failed.
    bool SaveModified();
    // "Do you want to save the current index file first?": false on Cancel.
    bool SaveBeforeUse();

    IndexFile* Index() const { return m_index.get(); }
    // The undo and redo steps of the open index: emptied whenever another index takes its
    // place, kept through a save.
    EditHistory& History() { return m_history; }
    const EditHistory& History() const { return m_history; }
    // Changes whenever a new IndexFile takes the place of the old one, so views know that
    // their nodes point at entries that are gone.
    unsigned Generation() const { return m_generation; }
    const QString& PathName() const { return m_pathName; }
    const QString& Title() const { return m_title; }
    bool IsModified() const { return m_modified; }
    void SetModifiedFlag(bool modified = true);
    // Sets the path, and the title from it.
    void SetPathName(const QString& path);
    // A new index, or one the scanner made: the title shows, the path is not a saved file.
    void SetUnsavedPathName(const QString& path);

    // Statistics of the open index for the index settings, empty with no index.
    QString StatisticsText() const;

    // Display text of the file's bytes and back, in the file's own encoding.
    TextEncoding Encoding() const { return m_encoding; }
    QString Decode(const std::string& bytes) const;
    std::string Encode(const QString& text) const;

    // Every view rebuilds; the sender passes itself so it is left out.
    void UpdateAllViews(QObject* sender = nullptr);

    // Another program wrote the open file: "%1 has changed on disk. Reload it?". Called by
    // the watch on the file; a change this document made itself asks nothing.
    void CheckDiskChange();

Q_SIGNALS:
    void Changed(QObject* sender);
    void TitleChanged();
    // The framework adds saved and opened paths to the recent file list.
    void PathSaved(const QString& path);

private:
    void ShowBadLines(const IndexFile& index);
    void ShowNotAnIndex(const IndexFile& index, const QString& path);
    void ShowMessage(const QString& text, unsigned helpId = 0);
    bool SaveWithWords(const QString& path, bool replaceReadOnly);
    void ShowWordsLag(const QString& path);
    void WatchFile();
    // Before a save over the open file: false when it changed on disk since it was opened
    // or saved and the user would rather not write over that.
    bool ConfirmSaveOverChange(const QString& path);

    QWidget* m_window = nullptr;
    std::unique_ptr<IndexFile> m_index;
    std::shared_ptr<const SearchIndexData> m_words;
    // True once a scan said what the words are (m_words, or none): an index only opened
    // leaves the search index beside its file alone.
    bool m_wordsFromScan = false;
    EditHistory m_history;
    QString m_pathName;
    QString m_title;
    bool m_modified = false;
    // False while the path only names a document never saved there (a new or scanned
    // index): a file of that name must not be overwritten without asking.
    bool m_pathIsFile = false;
    unsigned m_generation = 0;
    QFileSystemWatcher* m_watcher = nullptr;
    // The open file as this document last read or wrote it, and a later state the user
    // chose to keep their copy over (asked once for each change).
    FileStamp m_diskStamp;
    FileStamp m_keptOver;
    bool m_askingAboutDisk = false;
    TextEncoding m_encoding = TextEncoding::Utf8;
};

} // namespace tamblin
