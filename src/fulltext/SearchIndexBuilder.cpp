#include "fulltext/SearchIndexBuilder.h"

#include "fulltext/WordTokenizer.h"

#include <algorithm>

namespace tamblin {

namespace {

// UTF-16 code units of UTF-8 text: one for each lead byte, two for those of four bytes.
std::uint32_t Utf16Units(std::string_view utf8) {
    std::uint32_t units = 0;
    for (char ch : utf8) {
        auto c = static_cast<unsigned char>(ch);
        units += (c & 0xC0) != 0x80 ? 1 : 0;
        units += c >= 0xF0 ? 1 : 0;
    }
    return units;
}

// Texts are kept on one line, tabs and all, for the files that list them.
void AppendClean(std::string_view text, std::string& out) {
    for (char ch : text) {
        auto c = static_cast<unsigned char>(ch);
        char put = c < 0x20 || c == 0x7F ? ' ' : ch;
        if (put == ' ' && (out.empty() || out.back() == ' ')) {
            continue;
        }
        out += put;
    }
}

} // namespace

void SearchIndexBuilder::StartPage(std::string url) {
    EndPage();
    SearchPage page;
    page.url = std::move(url);
    m_pages.push_back(std::move(page));
    m_open = true;
    m_headings.clear();
    m_textUnits = 0;
}

void SearchIndexBuilder::SetTitle(std::string title) {
    if (m_open) {
        std::string clean;
        AppendClean(title, clean);
        while (!clean.empty() && clean.back() == ' ') {
            clean.pop_back();
        }
        m_pages.back().title = std::move(clean);
    }
}

void SearchIndexBuilder::AddText(std::string_view utf8, Role role) {
    if (!m_open || utf8.empty()) {
        return;
    }
    std::string& text = m_pages.back().text;
    if (text.size() >= kMaxPageText) {
        return;
    }
    size_t before = text.size();
    AppendClean(utf8.substr(0, kMaxPageText - before), text);
    // A cut sequence would be no character: the tokenizer makes it a separator.
    std::uint32_t start = m_textUnits;
    m_textUnits += Utf16Units(std::string_view(text).substr(before));
    if (role == Role::kHeading) {
        m_headings.emplace_back(start, m_textUnits);
    }
}

void SearchIndexBuilder::Break() {
    if (m_open && !m_pages.back().text.empty() && m_pages.back().text.back() != ' ') {
        AddText(" ", Role::kBody);
    }
}

void SearchIndexBuilder::AddWord(const std::string& word, std::uint32_t page, std::uint8_t flags,
                                 const std::uint32_t* offset) {
    std::vector<SearchPosting>& postings = m_words[word];
    if (postings.empty() || postings.back().page != page) {
        postings.emplace_back();
        postings.back().page = page;
    }
    SearchPosting& posting = postings.back();
    ++posting.count;
    posting.flags |= flags;
    if (offset && posting.offsets.size() < SearchPosting::kMaxOffsets) {
        posting.offsets.push_back(*offset);
    }
}

void SearchIndexBuilder::EndPage() {
    if (!m_open) {
        return;
    }
    m_open = false;
    auto page = static_cast<std::uint32_t>(m_pages.size() - 1);
    SearchPage& current = m_pages.back();
    while (!current.text.empty() && current.text.back() == ' ') {
        current.text.pop_back();
    }
    WordTokenizer::Split(current.title, [&](const WordToken& token) {
        AddWord(token.word, page, SearchPosting::kInTitle, nullptr);
    });
    size_t heading = 0;
    WordTokenizer::Split(current.text, [&](const WordToken& token) {
        while (heading < m_headings.size() && m_headings[heading].second <= token.start) {
            ++heading;
        }
        bool inHeading = heading < m_headings.size() && m_headings[heading].first < token.end;
        AddWord(token.word, page, inHeading ? SearchPosting::kInHeading : 0, &token.start);
    });
}

SearchIndexData SearchIndexBuilder::Take() {
    EndPage();
    SearchIndexData data;
    data.pages = std::move(m_pages);
    data.words.reserve(m_words.size());
    for (auto& [word, postings] : m_words) {
        data.words.emplace_back(word, std::move(postings));
    }
    std::sort(data.words.begin(), data.words.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    m_words.clear();
    m_pages.clear();
    return data;
}

} // namespace tamblin
