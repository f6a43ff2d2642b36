#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tamblin {

class IndexEntry;
class IndexKeyword;

// What the last scan gave one entry: its title and the keywords it made, as hashes. An
// update from the site compares the entry with this to tell the author's edits from what
// the scan wrote. Hashes rather than the texts keep a large index's file small; an author's
// text of one entry that shares a 32-bit hash with the scan's is not a practical worry.
struct ScanMark {
    std::uint64_t title = 0;
    std::vector<std::uint64_t> keywords;

    static std::uint64_t HashText(std::string_view text);
    static std::uint64_t HashKeyword(const IndexKeyword& keyword);
    // The mark of the entry as it stands: called on what a scan has just made.
    static ScanMark Of(const IndexEntry& entry);
    bool HasKeyword(std::uint64_t hash) const;

    // The fields of the record after the entry's number: title hash, then the keyword
    // hashes separated by ",".
    std::string Encode() const;
    // False when the text is not what Encode writes.
    static bool Decode(std::string_view titleField, std::string_view keywordField, ScanMark& mark);
};

// Lines that carry the scan record. Their first field is empty, so a reader of the format
// skips them as it skips a blank line.
inline constexpr std::string_view kScanSourceRecord = ";tamblin-scan;";
inline constexpr std::string_view kScanMarkRecord = ";tamblin-page;";

} // namespace tamblin
