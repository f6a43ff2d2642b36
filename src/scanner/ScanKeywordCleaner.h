#pragma once

#include <map>
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

    // A page's title has been read: the phrases of the last page are forgotten.
    void BeginPage();
    // Pages begun so far.
    int Pages() const { return static_cast<int>(m_page + 1); }
    // False when the page already has a phrase that differs from this one only in case.
    bool KeepOnPage(std::string_view phrase);
    // The heading keyword just kept is line `line` (counted from 0) of the output.
    void NoteHeading(long line, std::string_view phrase, std::string_view pageTitle);

    // After the scan: drops the lines of common headings from the file at `path` (of which
    // `pages` pages were read) and says what it left out in `report`. The number of keywords
    // left out, or -1 when the file could not be rewritten (it is then as it was).
    int Finish(const std::string& path, int pages, std::string& report);

private:
    struct Count {
        int pages = 0;
        long lastPage = -1;
        std::string shown; // the phrase as first met
        std::vector<long> lines;
    };
    static void Note(std::unordered_map<std::string, Count>& counts, const std::string& key,
                     std::string_view shown, long page, long line);
    bool Common(const Count& count, int pages) const;

    Options m_options;
    long m_page = -1;
    // This page's phrases by their lower case, with the first spelling.
    std::unordered_map<std::string, std::string> m_pagePhrases;
    std::unordered_map<std::string, Count> m_headings;
    std::unordered_map<std::string, Count> m_titleRests;
};

} // namespace tamblin
