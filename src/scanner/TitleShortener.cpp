#include "scanner/TitleShortener.h"

#include "index/TextUtils.h"

#include <algorithm>

namespace tamblin {

namespace {

// Separators that set a site's name off a page's name, in UTF-8 and in Windows-1252.
constexpr std::string_view kTitleSeparators[] = {
    "-",        "|",    ":",    "\xC2\xB7", "\xE2\x80\x94", "\xE2\x80\x93", "\xE2\x80\xA2",
    "\xC2\xBB", "\x97", "\x96", "\xB7",     "\x95",         "\xBB"};

// Where, in a shared end, a " - Site" part begins; npos when none does.
size_t SuffixStart(std::string_view common) {
    for (size_t at = 0; at < common.size(); ++at) {
        for (std::string_view separator : kTitleSeparators) {
            std::string mark = " " + std::string(separator) + " ";
            if (common.compare(at, mark.size(), mark) == 0) {
                return at;
            }
        }
    }
    return std::string_view::npos;
}

// Where, in a shared beginning, a "Site - " part ends; 0 when none does.
size_t PrefixEnd(std::string_view common) {
    for (size_t end = common.size(); end > 0; --end) {
        for (std::string_view separator : kTitleSeparators) {
            std::string mark = (separator == ":" ? "" : " ") + std::string(separator) + " ";
            if (end >= mark.size() && common.compare(end - mark.size(), mark.size(), mark) == 0) {
                return end;
            }
        }
    }
    return 0;
}

bool HasPart(std::string_view text, std::string_view part, bool atEnd) {
    if (text.size() <= part.size()) {
        return false;
    }
    return atEnd ? text.compare(text.size() - part.size(), part.size(), part) == 0
                 : text.compare(0, part.size(), part) == 0;
}

} // namespace

TitleShortener::Cut TitleShortener::FindCut() const {
    std::string_view first = m_pages.front().text;
    size_t suffix = first.size();
    size_t prefix = first.size();
    for (const Title& page : m_pages) {
        std::string_view title = page.text;
        size_t same = 0;
        while (same < suffix && same < title.size() &&
               title[title.size() - 1 - same] == first[first.size() - 1 - same]) {
            ++same;
        }
        suffix = same;
        same = 0;
        while (same < prefix && same < title.size() && title[same] == first[same]) {
            ++same;
        }
        prefix = same;
    }
    Cut cut;
    if (size_t at = SuffixStart(first.substr(first.size() - suffix));
        at != std::string_view::npos) {
        cut.end = suffix - at;
    } else {
        cut.start = PrefixEnd(first.substr(0, prefix));
    }
    return cut;
}

std::vector<TitleShortener::Title> TitleShortener::Shorten() {
    if (m_pages.size() < 2) {
        return {};
    }
    Cut cut = FindCut();
    if (cut.end == 0 && cut.start == 0) {
        return {};
    }
    const std::string first = m_pages.front().text;
    std::string_view shared = std::string_view(first).substr(
        cut.end > 0 ? first.size() - cut.end : 0, cut.end > 0 ? cut.end : cut.start);
    std::vector<Title> shorter;
    for (const std::vector<Title>* list : {&m_pages, &m_start}) {
        for (const Title& title : *list) {
            if (list == &m_start && !HasPart(title.text, shared, cut.end > 0)) {
                continue;
            }
            std::string_view text = title.text;
            std::string rest(TrimSpaces(text.substr(cut.start, text.size() - cut.start - cut.end)));
            if (rest.empty()) {
                return {};
            }
            shorter.push_back(title);
            shorter.back().shorter = std::move(rest);
        }
    }
    std::sort(shorter.begin(), shorter.end(),
              [](const Title& a, const Title& b) { return a.where < b.where; });
    m_part = std::string(TrimSpaces(shared));
    return shorter;
}

} // namespace tamblin
