#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace tamblin {

// Keeps boilerplate out of a scanned keyword index. Headings every page of a manual shares
// ("SYNOPSIS", "SEE ALSO") are left out once the scan knows they are on more than a fifth of
// the pages (and on at least ten); a heading that is the page's title followed by such a
// shared part ("git-add(1) Manual Page") is left out too; and on one page, phrases that differ
// only in letter case are written once. Each rule has its own switch; with all off nothing
// changes.
class ScanKeywordCleaner {
public:
    struct Options {
        bool commonHeadings = false;
        bool titleRepeats = false;
        bool oneCasePerPage = false;
    };

    // A phrase is common on more than this share of the pages, and on at least kMinPages.
    static constexpr double kCommonShare = 0.2;
    static constexpr int kMinPages = 10;

    explicit ScanKeywordCleaner(Options options) : m_options(options) {}
    bool Active() const {
        return m_options.commonHeadings || m_options.titleRepeats || m_options.oneCasePerPage;
    }

    // A page is being read: the phrases of the last page are forgotten.
    void BeginPage();
    // Pages begun so far.
    int Pages() const { return static_cast<int>(m_page + 1); }
    // False when the page already has a phrase that differs from this one only in case.
    bool KeepOnPage(std::string_view phrase);
    // The heading keyword just kept is line `line` (counted from 0) of the output.
    void NoteHeading(long long line, std::string_view phrase, std::string_view pageTitle);

    // What to leave out once the scan is over: the lines of the keywords to drop, ascending,
    // and the report's words for them. `shorterTitles`: each title the scan shortened, by the
    // title as the page has it; a heading may repeat either form ("git-add(1) Manual Page"
    // under "git-add(1) - Git Manual", which became "git-add(1)").
    struct Cleaning {
        std::vector<long long> lines;
        std::string report;
    };
    using ShorterTitles = std::unordered_map<std::string, std::string>;
    Cleaning Finish(const ShorterTitles& shorterTitles = {}) const;

private:
    struct Count {
        int pages = 0;
        long lastPage = -1;
        std::string shown; // the phrase as first met
        std::vector<long long> lines;
    };
    using Counts = std::unordered_map<std::string, Count>;
    // A heading kept, with its page's title, until the titles are final.
    struct Heading {
        long page = 0;
        long long line = 0;
        std::size_t title = 0; // in m_titles
        std::string phrase;
    };
    static void Note(Counts& counts, const std::string& key, std::string_view shown, long page,
                     long long line);
    bool Common(const Count& count, int pages) const;
    // The headings counted: those that repeat their page's title (as the page has it, or as
    // the scan shortened it) by what follows the title, the others by themselves.
    void CountHeadings(const ShorterTitles& shorterTitles, Counts& headings,
                       Counts& titleRests) const;

    Options m_options;
    long m_page = -1;
    // This page's phrases by their lower case, with the first spelling.
    std::unordered_map<std::string, std::string> m_pagePhrases;
    std::vector<Heading> m_noted;
    // The titles of the pages with headings, each once.
    std::vector<std::string> m_titles;
};

} // namespace tamblin
