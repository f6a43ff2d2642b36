#include "scanner/ScanKeywordCleaner.h"

#include <algorithm>

namespace tamblin {

namespace {

// Letter case and runs of space do not make another phrase.
std::string KeyOf(std::string_view phrase) {
    std::string key;
    key.reserve(phrase.size());
    bool space = false;
    for (char c : phrase) {
        if (c == ' ' || c == '\t') {
            space = !key.empty();
            continue;
        }
        if (space) {
            key.push_back(' ');
            space = false;
        }
        key.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
    }
    return key;
}

// What follows a title in a heading, without the separator that joins them.
std::string_view RestAfterTitle(std::string_view phrase, std::string_view title) {
    std::size_t first = title.find_first_not_of(" \t");
    title = first == std::string_view::npos
                ? std::string_view()
                : title.substr(first, title.find_last_not_of(" \t") - first + 1);
    if (title.empty() || phrase.size() <= title.size() || phrase.substr(0, title.size()) != title) {
        return {};
    }
    std::string_view rest = phrase.substr(title.size());
    std::size_t skip = rest.find_first_not_of(" \t-:|\xC2\xB7");
    return skip == std::string_view::npos ? std::string_view() : rest.substr(skip);
}

} // namespace

void ScanKeywordCleaner::BeginPage() {
    ++m_page;
    m_pagePhrases.clear();
}

bool ScanKeywordCleaner::KeepOnPage(std::string_view phrase) {
    if (!m_options.oneCasePerPage) {
        return true;
    }
    auto [at, added] = m_pagePhrases.try_emplace(KeyOf(phrase), phrase);
    // The same phrase again (another anchor) is kept, as it always was.
    return added || at->second == phrase;
}

void ScanKeywordCleaner::Note(Counts& counts, const std::string& key, std::string_view shown,
                              long page, long long line) {
    Count& count = counts[key];
    if (count.shown.empty()) {
        count.shown = shown;
    }
    if (count.lastPage != page) {
        count.lastPage = page;
        ++count.pages;
    }
    count.lines.push_back(line);
}

void ScanKeywordCleaner::NoteHeading(long long line, std::string_view phrase,
                                     std::string_view pageTitle) {
    if (!m_options.titleRepeats && !m_options.commonHeadings) {
        return;
    }
    // Counted at the end: whether a heading repeats its title depends on the title as the
    // scan leaves it, which the titles of the pages still to come decide.
    if (m_titles.empty() || m_noted.empty() || m_noted.back().page != m_page ||
        m_titles.back() != pageTitle) {
        m_titles.emplace_back(pageTitle);
    }
    m_noted.push_back({m_page, line, m_titles.size() - 1, std::string(phrase)});
}

void ScanKeywordCleaner::CountHeadings(const ShorterTitles& shorterTitles, Counts& headings,
                                       Counts& titleRests) const {
    for (const Heading& heading : m_noted) {
        if (m_options.titleRepeats) {
            const std::string& title = m_titles[heading.title];
            std::string_view rest = RestAfterTitle(heading.phrase, title);
            if (auto shorter = shorterTitles.find(title);
                rest.empty() && shorter != shorterTitles.end()) {
                rest = RestAfterTitle(heading.phrase, shorter->second);
            }
            if (!rest.empty()) {
                Note(titleRests, KeyOf(rest), rest, heading.page, heading.line);
                continue;
            }
        }
        if (m_options.commonHeadings) {
            Note(headings, KeyOf(heading.phrase), heading.phrase, heading.page, heading.line);
        }
    }
}

bool ScanKeywordCleaner::Common(const Count& count, int pages) const {
    return count.pages >= kMinPages && count.pages > kCommonShare * pages;
}

ScanKeywordCleaner::Cleaning ScanKeywordCleaner::Finish(const ShorterTitles& shorterTitles) const {
    Counts headings;
    Counts titleRests;
    CountHeadings(shorterTitles, headings, titleRests);
    Cleaning cleaning;
    std::vector<const Count*> common;
    std::vector<const Count*> rests;
    int pages = Pages();
    for (const auto& [key, count] : headings) {
        if (Common(count, pages)) {
            common.push_back(&count);
        }
    }
    for (const auto& [key, count] : titleRests) {
        // The rest after the title counts as common as a heading of its own would.
        if (Common(count, pages)) {
            rests.push_back(&count);
        }
    }
    for (const Count* count : common) {
        cleaning.lines.insert(cleaning.lines.end(), count->lines.begin(), count->lines.end());
    }
    for (const Count* count : rests) {
        cleaning.lines.insert(cleaning.lines.end(), count->lines.begin(), count->lines.end());
    }
    std::sort(cleaning.lines.begin(), cleaning.lines.end());
    auto byPages = [](const Count* a, const Count* b) {
        return a->pages != b->pages ? a->pages > b->pages : a->shown < b->shown;
    };
    std::sort(common.begin(), common.end(), byPages);
    std::sort(rests.begin(), rests.end(), byPages);
    if (!common.empty()) {
        cleaning.report +=
            "\r\n\r\nHeadings on more than a fifth of the pages, left out of the index:";
        for (const Count* count : common) {
            cleaning.report +=
                "\r\n  " + count->shown + " (" + std::to_string(count->pages) + " pages)";
        }
    }
    for (const Count* count : rests) {
        cleaning.report += "\r\n\r\nHeadings that repeat the page title followed by \"" +
                           count->shown + "\", left out: " + std::to_string(count->pages) +
                           " pages";
    }
    return cleaning;
}

} // namespace tamblin
