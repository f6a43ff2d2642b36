#pragma once

#include "index/BaseUrl.h"
#include "index/IndexEntry.h"

#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tamblin {

inline constexpr const char* kProgramVersion = "1.1.18";
inline constexpr const char* kIndexFilter = "Navora Files (*.xo)|*.xo|All Files (*.*)|*.*||";

enum class ReferenceMode { Url, Title };

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
    // Load's reading steps on bytes already in memory; `path` only names the file.
    void LoadBytes(std::string_view bytes, const std::string& path);
    int ParseLine(std::string_view line, bool first);
    IndexEntry* ResolveReference(std::string& text, ReferenceMode mode, const BaseUrl* base);
    const std::vector<std::string>& BadLines() const { return m_badLines; }
    // The report of the last Load's bad lines; empty when there were none.
    std::string BadLinesMessage() const;

    // 1 when written. The old file stays untouched unless the new one was written whole.
    // An empty path is refused: asking for a name is the caller's business (DefaultSaveName).
    int Save(const std::string& path);
    // Why the last Save refused, for the user; empty after a success.
    const std::string& SaveError() const { return m_saveError; }
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
    long long m_fileSize = 0;
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
    std::string m_saveError;
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
