#include "fulltext/SearchIndexBuilder.h"

#include "fulltext/WordTokenizer.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace tamblin {

namespace {

// Texts are kept on one line, tabs and all, for the files that list them: runs of controls
// and spaces become one space. Gives the UTF-16 code units appended (one for each lead byte,
// two for those of four bytes), counted in the same pass: every byte of every page's text
// comes through here, most of it printable ASCII and single spaces, taken eight bytes at a
// time (on a little-endian machine, where the first byte is the lowest).
std::uint32_t AppendClean(std::string_view text, std::string& out) {
    size_t at = out.size();
    bool space = at == 0 || out.back() == ' ';
    // Never longer than the text.
    out.resize(at + text.size());
    char* to = out.data();
    std::uint32_t units = 0;
    for (size_t i = 0; i < text.size();) {
        if (std::endian::native == std::endian::little && i + 8 <= text.size()) {
            std::uint64_t v = 0;
            std::memcpy(&v, text.data() + i, 8);
            constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
            constexpr std::uint64_t kHighs = 0x8080808080808080ULL;
            constexpr std::uint64_t kLows = 0x7F7F7F7F7F7F7F7FULL;
            // Eight bytes of 0x20..0x7E go as they are unless two spaces meet, or a space
            // follows one already written.
            std::uint64_t outside = (((v - kOnes * 0x20) & ~v) | ((v + kOnes) | v)) & kHighs;
            std::uint64_t x = v ^ (kOnes * 0x20);
            std::uint64_t spaces = ~(((x & kLows) + kLows) | x) & kHighs;
            bool joined = (spaces & (spaces << 8)) != 0 || (space && (spaces & 0x80) != 0);
            if (outside == 0 && !joined) {
                std::memcpy(to + at, &v, 8);
                at += 8;
                i += 8;
                units += 8;
                space = (spaces >> 63) != 0;
                continue;
            }
        }
        auto c = static_cast<unsigned char>(text[i++]);
        if (c <= 0x20 || c == 0x7F) {
            if (!space) {
                to[at++] = ' ';
                ++units;
                space = true;
            }
            continue;
        }
        space = false;
        to[at++] = static_cast<char>(c);
        units += (c & 0xC0) != 0x80 ? 1 : 0;
        units += c >= 0xF0 ? 1 : 0;
    }
    out.resize(at);
    return units;
}

std::uint32_t HashOf(std::string_view word) {
    std::uint32_t hash = 2166136261u;
    for (char c : word) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    }
    return hash;
}

} // namespace

SearchIndexBuilder::~SearchIndexBuilder() {
    // Nobody takes the index: pages not yet counted are dropped, not counted.
    {
        std::lock_guard lock(m_mutex);
        m_ended.clear();
    }
    Finish();
}

void SearchIndexBuilder::StartPage(std::string url) {
    EndPage();
    m_current.page.url = std::move(url);
    ++m_pageCount;
    m_open = true;
    m_textUnits = 0;
}

void SearchIndexBuilder::SetTitle(std::string title) {
    if (m_open) {
        std::string clean;
        AppendClean(title, clean);
        while (!clean.empty() && clean.back() == ' ') {
            clean.pop_back();
        }
        m_current.page.title = std::move(clean);
    }
}

void SearchIndexBuilder::AddText(std::string_view utf8, Role role) {
    if (!m_open || utf8.empty()) {
        return;
    }
    std::string& text = m_current.page.text;
    if (text.size() >= kMaxPageText) {
        return;
    }
    // A cut sequence would be no character: the tokenizer makes it a separator.
    std::uint32_t start = m_textUnits;
    m_textUnits += AppendClean(utf8.substr(0, kMaxPageText - text.size()), text);
    if (role == Role::kHeading) {
        m_current.headings.emplace_back(start, m_textUnits);
    }
}

void SearchIndexBuilder::Break() {
    if (m_open && !m_current.page.text.empty() && m_current.page.text.back() != ' ') {
        AddText(" ", Role::kBody);
    }
}

std::uint32_t SearchIndexBuilder::IdOf(std::string_view word) {
    if (m_words.size() * 2 >= m_table.size()) {
        Grow();
    }
    auto mask = static_cast<std::uint32_t>(m_table.size() - 1);
    for (std::uint32_t slot = HashOf(word) & mask;; slot = (slot + 1) & mask) {
        std::uint32_t id = m_table[slot];
        if (id == 0) {
            WordEntry entry;
            entry.textAt = static_cast<std::uint32_t>(m_wordText.size());
            entry.textSize = static_cast<std::uint32_t>(word.size());
            m_wordText.append(word);
            m_words.push_back(std::move(entry));
            m_table[slot] = static_cast<std::uint32_t>(m_words.size());
            return m_table[slot] - 1;
        }
        const WordEntry& entry = m_words[id - 1];
        if (std::string_view(m_wordText).substr(entry.textAt, entry.textSize) == word) {
            return id - 1;
        }
    }
}

void SearchIndexBuilder::Grow() {
    std::vector<std::uint32_t> table(std::max<size_t>(1024, m_table.size() * 2), 0);
    auto mask = static_cast<std::uint32_t>(table.size() - 1);
    for (std::uint32_t id = 0; id < m_words.size(); ++id) {
        const WordEntry& entry = m_words[id];
        std::uint32_t slot =
            HashOf(std::string_view(m_wordText).substr(entry.textAt, entry.textSize)) & mask;
        while (table[slot] != 0) {
            slot = (slot + 1) & mask;
        }
        table[slot] = id + 1;
    }
    m_table = std::move(table);
}

void SearchIndexBuilder::AddWord(std::string_view word, std::uint32_t page, std::uint8_t flags,
                                 const std::uint32_t* offset) {
    WordEntry& entry = m_words[IdOf(word)];
    std::vector<std::uint32_t>& packed = entry.packed;
    if (entry.lastPage != page) {
        entry.lastPage = page;
        entry.openAt = static_cast<std::uint32_t>(packed.size());
        ++entry.pages;
        packed.insert(packed.end(), {page, 0, 0});
    }
    std::uint32_t* head = packed.data() + entry.openAt;
    ++head[1];
    head[2] |= static_cast<std::uint32_t>(flags) << 8;
    if (offset && (head[2] & 0xFF) < SearchPosting::kMaxOffsets) {
        ++head[2];
        packed.push_back(*offset);
    }
}

void SearchIndexBuilder::EndPage() {
    if (!m_open) {
        return;
    }
    m_open = false;
    std::string& text = m_current.page.text;
    while (!text.empty() && text.back() == ' ') {
        text.pop_back();
    }
    if (!m_worker.joinable()) {
        m_worker = std::thread([this] { CountWords(); });
    }
    {
        std::lock_guard lock(m_mutex);
        m_ended.push_back(std::move(m_current));
    }
    m_handed.notify_one();
    m_current = EndedPage();
}

void SearchIndexBuilder::Finish() {
    if (!m_worker.joinable()) {
        return;
    }
    {
        std::lock_guard lock(m_mutex);
        m_finishing = true;
    }
    m_handed.notify_one();
    m_worker.join();
    m_finishing = false;
}

// The word thread: takes the ended pages in batches, so that the scan seldom waits for it.
void SearchIndexBuilder::CountWords() {
    std::vector<EndedPage> batch;
    while (true) {
        {
            std::unique_lock lock(m_mutex);
            m_handed.wait(lock, [this] { return !m_ended.empty() || m_finishing; });
            if (m_ended.empty()) {
                return;
            }
            batch.swap(m_ended);
        }
        for (EndedPage& ended : batch) {
            IndexPage(ended);
            m_parts.Add(ended.page);
            // The parts hold the text now: a large site's texts, kept whole until the index
            // is written, were most of the scan's memory, and fresh memory costs a fault a page.
            ended.page.text = std::string();
            m_pages.push_back(std::move(ended.page));
        }
        batch.clear();
    }
}

void SearchIndexBuilder::IndexPage(EndedPage& ended) {
    auto page = static_cast<std::uint32_t>(m_pages.size());
    const auto& headings = ended.headings;
    WordTokenizer::ForEach(ended.page.title,
                           [&](std::string_view word, std::uint32_t, std::uint32_t) {
                               AddWord(word, page, SearchPosting::kInTitle, nullptr);
                           });
    size_t heading = 0;
    WordTokenizer::ForEach(
        ended.page.text, [&](std::string_view word, std::uint32_t start, std::uint32_t end) {
            while (heading < headings.size() && headings[heading].second <= start) {
                ++heading;
            }
            bool inHeading = heading < headings.size() && headings[heading].first < end;
            AddWord(word, page, inHeading ? SearchPosting::kInHeading : 0, &start);
        });
}

SearchIndexData SearchIndexBuilder::Take() {
    EndPage();
    Finish();
    SearchIndexData data;
    m_parts.Finish();
    data.pageParts = m_parts.Take();
    data.partsOfPages = m_pages.size();
    m_parts = SearchPageParts();
    data.pages = std::move(m_pages);
    std::vector<std::uint32_t> order(m_words.size());
    for (std::uint32_t id = 0; id < order.size(); ++id) {
        order[id] = id;
    }
    auto text = [&](std::uint32_t id) {
        return std::string_view(m_wordText).substr(m_words[id].textAt, m_words[id].textSize);
    };
    std::sort(order.begin(), order.end(),
              [&](std::uint32_t a, std::uint32_t b) { return text(a) < text(b); });
    data.words.Reserve(order.size(), m_wordText.size());
    for (std::uint32_t id : order) {
        data.words.AddPacked(text(id), std::move(m_words[id].packed), m_words[id].pages);
    }
    m_words.clear();
    m_wordText.clear();
    m_table.clear();
    m_pages.clear();
    m_pageCount = 0;
    return data;
}

} // namespace tamblin
