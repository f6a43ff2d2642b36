#pragma once

#include "fulltext/SearchIndexData.h"
#include "fulltext/SearchStartLists.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tamblin {

// Reads a whole search index back from its folder and searches it as the viewer does: every
// word of the query must be in a page, the last one as the start of a word while it is being
// typed; pages with the words in their title first, then in headings, then by how often and
// how close together they occur.
class SearchIndexReader {
public:
    // Nothing when the folder is missing or a file of it is not one the writer writes.
    static std::optional<SearchIndexReader> Load(const std::string& indexPath);
    // Reads the parts' bytes from the folder; public for the fuzz target and the tests.
    static std::optional<SearchIndexReader> FromParts(const std::string& folder);

    const std::vector<SearchPage>& Pages() const { return m_data.pages; }
    const SearchIndexData& Data() const { return m_data; }
    // The pages of `query`, best first.
    std::vector<std::uint32_t> Search(std::string_view query, bool lastIsPrefix = true) const;
    // Every posting of the words that begin with `prefix` (or are `word`), merged by page.
    std::vector<SearchPosting> Postings(const std::string& word, bool prefix) const;
    // The start parts' list of `prefix` (one or two characters), or null where they have none.
    const std::vector<SearchPosting>* StartList(const std::string& prefix) const;
    size_t StartPartCount() const { return m_startParts; }
    // first.js's list of a first character, or null.
    const SearchStartLists::First* FirstList(const std::string& character) const;

private:
    bool ReadList(const std::string& bytes, size_t& pageCount, size_t& wordParts);
    bool ReadStartPart(const std::string& bytes, size_t number);
    bool ReadPagePart(const std::string& bytes);
    bool ReadWordPart(const std::string& bytes);

    std::string m_folder;
    size_t m_pageCount = 0;
    SearchIndexData m_data;
    std::vector<std::vector<std::string>> m_textParts;
    size_t m_startParts = 0;
    std::map<std::string, std::vector<SearchPosting>> m_starts;
    std::map<std::string, SearchStartLists::First> m_firsts;
};

} // namespace tamblin
