#pragma once

#include "fulltext/SearchIndexData.h"
#include "fulltext/SearchPageParts.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace tamblin {

// Collects the words of pages as a scan reads them and makes a search index of them. Texts
// come as the page shows them, in UTF-8, in document order. A page's words are found and
// counted on a thread of the builder's own once the page ends, while the scan reads the next
// pages, and its text packed into the parts the index is written in; the calls below come
// from one thread (any one).
class SearchIndexBuilder {
public:
    SearchIndexBuilder() = default;
    ~SearchIndexBuilder();
    SearchIndexBuilder(const SearchIndexBuilder&) = delete;
    SearchIndexBuilder& operator=(const SearchIndexBuilder&) = delete;

    enum class Role { kBody, kHeading };
    // A page's text stops growing here; its words past it are not found.
    static constexpr size_t kMaxPageText = 4 << 20;

    // Ends the page before and starts one at `url`.
    void StartPage(std::string url);
    void SetTitle(std::string title);
    // Text of the page; texts joined without a break make one word where they meet.
    void AddText(std::string_view utf8, Role role);
    // Where a block ends: the words on either side stay apart.
    void Break();
    size_t PageCount() const { return m_pageCount; }

    // Ends the last page and hands over the index, words in code point order.
    SearchIndexData Take();

private:
    // One word's postings so far, packed as SearchWords keeps them: for each page its number,
    // count, flags and number of offsets, then those offsets; the last page's entry grows
    // while its page is read.
    struct WordEntry {
        std::uint32_t textAt = 0;
        std::uint32_t textSize = 0;
        std::uint32_t lastPage = UINT32_MAX;
        std::uint32_t openAt = 0; // where the last page's entry starts in `packed`
        std::uint32_t pages = 0;
        std::vector<std::uint32_t> packed;
    };

    // A page handed to the thread that finds its words: heading ranges of its text, in UTF-16
    // code units.
    struct EndedPage {
        SearchPage page;
        std::vector<std::pair<std::uint32_t, std::uint32_t>> headings;
    };

    void EndPage();
    // Hands the pages over and waits until the thread has counted the words of every one.
    void Finish();
    void CountWords();
    void IndexPage(EndedPage& ended);
    std::uint32_t IdOf(std::string_view word);
    void AddWord(std::string_view word, std::uint32_t page, std::uint8_t flags,
                 const std::uint32_t* offset);
    void Grow();

    // The page being read, on the caller's thread.
    EndedPage m_current;
    bool m_open = false;
    std::uint32_t m_textUnits = 0;
    size_t m_pageCount = 0;

    // Ended pages waiting for the word thread.
    std::mutex m_mutex;
    std::condition_variable m_handed;
    std::vector<EndedPage> m_ended;
    bool m_finishing = false;
    std::thread m_worker;

    // The word thread's own until Finish joins it.
    std::vector<SearchPage> m_pages;
    SearchPageParts m_parts;
    // Words by id, their bytes one after another in m_wordText; an open-addressing table of
    // ids + 1 (0: empty) by hash.
    std::vector<WordEntry> m_words;
    std::string m_wordText;
    std::vector<std::uint32_t> m_table;
};

} // namespace tamblin
