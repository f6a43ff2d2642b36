#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tamblin {

// Finds a part that every page title shares, such as the site's name after " - ", and
// gives each title without it.
class TitleShortener {
public:
    struct Title {
        int number = 0; // the entry's
        std::string text;
        long long where = 0; // the caller's mark, handed back with the shorter title
        std::string shorter; // set by Shorten
    };

    // Titles of pages other than the start page decide the part; a start page often
    // carries the site's name alone, so it loses the part only when it has it.
    void AddPageTitle(Title title) { m_pages.push_back(std::move(title)); }
    void AddStartTitle(Title title) { m_start.push_back(std::move(title)); }

    // The titles that lose the part, each with its shorter text, in the order of their
    // marks; none when no part is shared or a title would be left empty. Part() is then
    // what was taken.
    std::vector<Title> Shorten();
    const std::string& Part() const { return m_part; }

private:
    // The bytes to take off every title's start or end.
    struct Cut {
        size_t start = 0;
        size_t end = 0;
    };
    Cut FindCut() const;

    std::vector<Title> m_pages;
    std::vector<Title> m_start;
    std::string m_part;
};

} // namespace tamblin
