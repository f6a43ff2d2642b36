#pragma once

#include "index/BaseUrl.h"
#include "index/IndexEntry.h"
#include "index/SaveResult.h"
#include "index/Version.h"

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tamblin {

inline constexpr const char* kIndexFilter = "Navora Files (*.xo)|*.xo|All Files (*.*)|*.*||";

inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

enum class ReferenceMode { Url, Title };

enum class LoadResult {
    Opened,
    CannotOpen,
    // Not one line is a record of an index file (and some line is not), or the file holds
    // NUL bytes, which no text file does: opening it would make a web page or a picture an
    // empty index that a save writes over it.
    NotAnIndex,
};

// One index file in memory. Entries point at base URLs and keywords at their owners, so an
// IndexFile never moves: hold it by pointer.
class IndexFile {
public:
    IndexFile() = default;
    IndexFile(const IndexFile&) = delete;
    IndexFile& operator=(const IndexFile&) = delete;

    IndexEntry* FindEntryById(int id);
    BaseUrl* FindBaseUrlById(int id);
    bool VersionAtLeast(int major, int minor) const;
    BaseUrl& AppendBaseUrl(std::unique_ptr<BaseUrl> baseUrl);

    // 1 when the file was opened, whatever its lines held; 0 when it could not be read.
    int Load(const std::string& path);
    // Load, telling apart a file that is no index at all. Reading stops at a NUL byte.
    LoadResult LoadIndex(const std::string& path);
    bool HoldsNul() const { return m_holdsNul; }
    // Load's reading steps on bytes already in memory; `path` only names the file.
    void LoadBytes(std::string_view bytes, const std::string& path);
    int ParseLine(std::string_view line, bool first);
    IndexEntry* ResolveReference(std::string& text, ReferenceMode mode, const BaseUrl* base);
    const std::vector<std::string>& BadLines() const { return m_badLines; }
    // The report of the last Load's bad lines; empty when there were none. With limits, at
    // most `maxLines` lines, each cut to `maxLineBytes`, then "and N more".
    std::string BadLinesMessage(size_t maxLines = SIZE_MAX, size_t maxLineBytes = SIZE_MAX) const;
    // The first `maxLines` bad lines, each cut to `maxLineBytes` and followed by "\n", then
    // "and N more\n" when there are more.
    std::string ListBadLines(size_t maxLines, size_t maxLineBytes) const;

    // 1 when written. The old file stays untouched unless the new one was written whole.
    // An empty path is refused: asking for a name is the caller's business (DefaultSaveName).
    // A read-only file is replaced only when the options allow it (LastSave() says ReadOnly).
    int Save(const std::string& path, ReplaceOptions options = {});
    // Why the last Save refused, for the user; empty after a success.
    const std::string& SaveError() const { return m_saveError; }
    // True when the last Save wrote the file but not the companion script beside it (which
    // keeps its old bytes); see CompanionScript.h.
    bool CompanionStale() const { return m_companionStale; }
    // How the last Save ended; ReadOnly when it stopped at a read-only file.
    const SaveResult& LastSave() const { return m_lastSave; }
    std::string DefaultSaveName() const { return m_description + ".xo"; }
    // The first text the format cannot carry, as a message for the user; empty when none.
    std::string FindUnwritableField() const;
    // Save's writing steps without the file: renumbers, dates and returns the bytes. With
    // `problem`, the first entry the format cannot carry is described there.
    std::string WriteToString(std::string* problem = nullptr);
    // The same bytes into a stream; returns their count, or -1 when the stream failed.
    long long WriteTo(std::ostream& sink, std::string* problem = nullptr);
    std::string StatisticsText() const;

    std::string m_tipText;
    std::string m_fileName;
    // Bytes of the file as last read or written; kNeverSaved while no file holds this index.
    static constexpr long long kNeverSaved = -1;
    long long m_fileSize = kNeverSaved;
    IndexEntry m_holding;
    int m_changed = 0;
    BaseUrl* m_currentBaseUrl = nullptr;
    int m_defaultBaseUrlCount = 0;
    int m_formatMajor = -1;
    int m_formatMinor = 0;
    int m_coding = 0;
    std::string m_description;
    std::string m_dateText;
    std::vector<std::unique_ptr<BaseUrl>> m_baseUrls;
    IndexEntry m_root;
    IndexEntry m_otherKeywords;
    // How the scan that made this index was run, as the scanner encodes it; empty for an
    // index that no scan made. Written only when set, so other files keep their bytes.
    std::string m_scanSource;
    // The file began with a UTF-8 byte-order mark: read past it, and written again on save.
    bool m_byteOrderMark = false;

private:
    bool ParseHeader(class FieldTokenizer& fields);
    bool ParseOldEntry(FieldTokenizer& fields);
    bool ParseOldKeyword(FieldTokenizer& fields);
    bool ParseBaseUrl(FieldTokenizer& fields);
    bool ParseEntry(FieldTokenizer& fields);
    bool ParsePageTip(FieldTokenizer& fields);
    bool ParseKeyword(FieldTokenizer& fields);
    void ParseScanRecord(std::string_view line);
    void WriteScanRecords(class IndexRecordWriter& out) const;
    struct Reference {
        IndexEntry* entry = nullptr;
        std::string_view rest; // what follows the "&" and the digits
    };
    // The entry a "&" reference names, without building the text it stands for.
    Reference FindReference(std::string_view text);
    IndexEntry* FindParent(int parentId);
    void PlaceEntry(std::unique_ptr<IndexEntry> entry, IndexEntry* parent);
    void StoreKeyword(IndexEntry* owner, std::string phrase, std::string url, std::string title,
                      std::string target);
    void ResetForLoad(const std::string& path);
    void BeginLoad(long long expectedBytes);
    std::string_view ReadLines(std::string_view text, bool& first);
    void ReadLine(std::string_view line, bool& first);
    void EndLoad(long long size);

    std::string FindFileWideUnwritable() const;
    void WriteEntries(IndexRecordWriter& out, const std::string& parentText, std::string* problem);
    void WriteKeywords(IndexRecordWriter& out, const IndexEntry& entry, bool plain) const;

    std::vector<std::string> m_badLines;
    size_t m_recordLines = 0;
    bool m_holdsNul = false;
    bool m_stopAtNul = false;
    std::string m_saveError;
    bool m_companionStale = false;
    SaveResult m_lastSave;
    int m_entryCounter = 0;

    // While a file loads, every lookup by id goes through these, keeping a load linear.
    // Ids are unique then, since a record that repeats one is rejected.
    struct LoadedEntry {
        IndexEntry* entry;
        bool inRootTree;
    };
    bool m_indexed = false;
    std::unordered_map<int, LoadedEntry> m_entryIds;
    std::unordered_map<int, BaseUrl*> m_baseUrlIds;
};

} // namespace tamblin
