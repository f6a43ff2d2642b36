#include "fulltext/SearchStartLists.h"

#include "fulltext/Base36.h"
#include "fulltext/SearchWordPart.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <numeric>

namespace tamblin {

namespace {

size_t CodePointSize(unsigned char lead) {
    return lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
}

std::uint32_t FirstCodePoint(std::string_view text) {
    auto lead = static_cast<unsigned char>(text[0]);
    size_t size = std::min(CodePointSize(lead), text.size());
    std::uint32_t value = size == 1 ? lead : lead & (0x7F >> size);
    for (size_t i = 1; i < size; ++i) {
        value = value << 6 | (static_cast<unsigned char>(text[i]) & 0x3F);
    }
    return value;
}

struct StartList {
    std::string prefix;
    std::vector<std::uint32_t> pages;
    std::vector<std::uint32_t> values; // count << 2 | flags
};

// The words of one prefix, added up page by page: a dense array over the pages, with the
// pages touched, so that a prefix costs what its words' postings do, not the site's size.
class PrefixSum {
public:
    explicit PrefixSum(size_t pageCount) : m_counts(pageCount), m_flags(pageCount) {}

    void Add(std::uint32_t page, std::uint32_t count, std::uint8_t flags) {
        if (m_flags[page] == 0) {
            m_touched.push_back(page);
        }
        // A count stays within what a list's number holds with its flags.
        m_counts[page] =
            std::min<std::uint64_t>(std::uint64_t{m_counts[page]} + count, UINT32_MAX >> 2);
        m_flags[page] = static_cast<std::uint8_t>(m_flags[page] | (flags & 3) | 4);
    }

    // The list so far, taken out; empty when it came from fewer than two words.
    StartList Take(std::string_view prefix, size_t words) {
        StartList list;
        if (words >= 2) {
            list.prefix = prefix;
            std::sort(m_touched.begin(), m_touched.end());
            list.pages = m_touched;
            list.values.reserve(m_touched.size());
            for (std::uint32_t page : m_touched) {
                list.values.push_back(m_counts[page] << 2 | (m_flags[page] & 3));
            }
        }
        for (std::uint32_t page : m_touched) {
            m_counts[page] = 0;
            m_flags[page] = 0;
        }
        m_touched.clear();
        return list;
    }

private:
    std::vector<std::uint32_t> m_counts;
    std::vector<std::uint8_t> m_flags; // 4: touched, with or without a count
    std::vector<std::uint32_t> m_touched;
};

// One prefix length's lists, made as the words pass in order (a prefix's words are together).
class PrefixLists {
public:
    PrefixLists(size_t codePoints, size_t pageCount, std::vector<StartList>& out)
        : m_codePoints(codePoints), m_sum(pageCount), m_out(out) {}

    void Word(const SearchWords& words, size_t word) {
        std::string_view prefix = SearchStartLists::Prefix(words.Text(word), m_codePoints);
        if (prefix.empty()) {
            return;
        }
        if (prefix != m_prefix) {
            Finish();
            m_prefix = prefix;
        }
        ++m_words;
        words.VisitPostings(word, [&](std::uint32_t page, std::uint32_t count, std::uint8_t flags) {
            m_sum.Add(page, count, flags);
        });
    }

    void Finish() {
        StartList list = m_sum.Take(m_prefix, m_words);
        if (!list.prefix.empty()) {
            m_out.push_back(std::move(list));
        }
        m_words = 0;
    }

private:
    size_t m_codePoints;
    std::string_view m_prefix;
    size_t m_words = 0;
    PrefixSum m_sum;
    std::vector<StartList>& m_out;
};

// The viewer's sort key of a page: its score to a thousandth, best first, then the page.
std::int64_t RankKey(std::uint32_t value) {
    return std::llround(
        1e9 - SearchPosting::Score(value >> 2, static_cast<std::uint8_t>(value & 3)) * 1000);
}

// The line of one character's list: its best pages, ascending.
std::string FirstLine(const StartList& list) {
    std::vector<size_t> best(list.pages.size());
    std::iota(best.begin(), best.end(), 0);
    size_t kept = std::min(best.size(), SearchStartLists::kFirstPages);
    std::partial_sort(best.begin(), best.begin() + static_cast<std::ptrdiff_t>(kept), best.end(),
                      [&](size_t a, size_t b) {
                          std::int64_t ka = RankKey(list.values[a]);
                          std::int64_t kb = RankKey(list.values[b]);
                          return ka != kb ? ka < kb : list.pages[a] < list.pages[b];
                      });
    best.resize(kept);
    std::sort(best.begin(), best.end());
    std::string line =
        list.prefix + '\t' + Base36::Write(static_cast<std::uint32_t>(list.pages.size())) + '\t';
    for (size_t i : best) {
        line += Base36::Write(list.pages[i]) + ',' + Base36::Write(list.values[i]) + ',';
    }
    line.back() = '\t';
    return line;
}

// Every page of a list as ranges of pages one after another.
std::string PageRanges(const StartList& list) {
    std::string ranges;
    for (size_t i = 0; i < list.pages.size();) {
        size_t end = i;
        while (end + 1 < list.pages.size() && list.pages[end + 1] == list.pages[end] + 1) {
            ++end;
        }
        ranges += Base36::Write(list.pages[i]);
        if (end > i) {
            ranges += '-' + Base36::Write(list.pages[end]);
        }
        ranges += ',';
        i = end + 1;
    }
    ranges.pop_back();
    return ranges;
}

std::string Firsts(const std::vector<StartList>& lists) {
    std::vector<const StartList*> ones;
    for (const StartList& list : lists) {
        if (SearchStartLists::Prefix(list.prefix, 1) == list.prefix) {
            ones.push_back(&list);
        }
    }
    std::stable_sort(ones.begin(), ones.end(), [](const StartList* a, const StartList* b) {
        return a->pages.size() > b->pages.size();
    });
    ones.resize(std::min(ones.size(), SearchStartLists::kMaxFirsts));
    std::vector<std::string> lines;
    size_t bytes = 0;
    for (const StartList* list : ones) {
        lines.push_back(FirstLine(*list));
        bytes += lines.back().size() + 1;
    }
    // The pages of the commonest characters, while they fit.
    for (size_t i = 0; i < ones.size(); ++i) {
        std::string ranges = PageRanges(*ones[i]);
        if (bytes + ranges.size() <= SearchStartLists::kFirstBytes) {
            bytes += ranges.size();
            lines[i] += ranges;
        }
    }
    std::vector<size_t> order(ones.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(),
              [&](size_t a, size_t b) { return ones[a]->prefix < ones[b]->prefix; });
    std::string text;
    for (size_t i : order) {
        text += lines[i] + '\n';
    }
    return text;
}

std::vector<std::string_view> SplitAt(std::string_view text, char separator) {
    std::vector<std::string_view> fields;
    for (size_t at = 0;;) {
        size_t end = text.find(separator, at);
        fields.push_back(text.substr(at, end == std::string_view::npos ? end : end - at));
        if (end == std::string_view::npos) {
            return fields;
        }
        at = end + 1;
    }
}

// Pages ascending, each below `pageCount`.
bool Ascending(const std::vector<std::uint32_t>& pages, size_t pageCount) {
    for (size_t i = 0; i < pages.size(); ++i) {
        if (pages[i] >= pageCount || (i > 0 && pages[i] <= pages[i - 1])) {
            return false;
        }
    }
    return true;
}

std::optional<std::vector<std::uint32_t>> ReadRanges(std::string_view text, size_t pageCount) {
    std::vector<std::uint32_t> pages;
    for (std::string_view range : SplitAt(text, ',')) {
        std::vector<std::string_view> ends = SplitAt(range, '-');
        auto from = Base36::Read(ends[0]);
        auto to = ends.size() == 2 ? Base36::Read(ends[1]) : from;
        if (ends.size() > 2 || !from || !to || *from > *to || *to >= pageCount ||
            (!pages.empty() && *from <= pages.back())) {
            return std::nullopt;
        }
        for (std::uint32_t page = *from; page <= *to; ++page) {
            pages.push_back(page);
        }
    }
    return pages;
}

std::optional<SearchStartLists::First> ReadFirst(const std::vector<std::string_view>& fields,
                                                 size_t pageCount) {
    SearchStartLists::First first;
    auto total = Base36::Read(fields[1]);
    std::vector<std::string_view> numbers = SplitAt(fields[2], ',');
    if (!total || numbers.size() % 2 != 0) {
        return std::nullopt;
    }
    first.total = *total;
    std::vector<std::uint32_t> pages;
    for (size_t i = 0; i < numbers.size(); i += 2) {
        auto page = Base36::Read(numbers[i]);
        auto value = Base36::Read(numbers[i + 1]);
        if (!page || !value) {
            return std::nullopt;
        }
        pages.push_back(*page);
        first.best.push_back({*page, *value >> 2, static_cast<std::uint8_t>(*value & 3), {}});
    }
    if (!Ascending(pages, pageCount) || pages.size() > first.total) {
        return std::nullopt;
    }
    if (!fields[3].empty()) {
        first.every = ReadRanges(fields[3], pageCount);
        if (!first.every || first.every->size() != first.total) {
            return std::nullopt;
        }
    }
    return first;
}

size_t ListBytes(const StartList& list) {
    return list.prefix.size() + list.pages.size() * 2 + 4;
}

// Every part is a file to create, and one a reader asks for by its number, so written even
// when empty: the fewest parts in which no part is larger than kPartBytes or than the lists of
// the largest first character, which a part holds whole.
size_t PartCount(const std::vector<StartList>& lists) {
    std::map<std::uint32_t, size_t> byFirst;
    for (const StartList& list : lists) {
        byFirst[FirstCodePoint(list.prefix)] += ListBytes(list);
    }
    size_t limit = SearchStartLists::kPartBytes;
    for (const auto& [first, bytes] : byFirst) {
        limit = std::max(limit, bytes);
    }
    std::vector<size_t> sizes;
    for (size_t count = 1; count < SearchStartLists::kMaxParts; ++count) {
        sizes.assign(count, 0);
        bool fits = true;
        for (const auto& [first, bytes] : byFirst) {
            size_t& size = sizes[first % count];
            size += bytes;
            fits = fits && size <= limit;
        }
        if (fits) {
            return count;
        }
    }
    return SearchStartLists::kMaxParts;
}

} // namespace

std::string_view SearchStartLists::Prefix(std::string_view word, size_t codePoints) {
    size_t at = 0;
    for (size_t n = 0; n < codePoints; ++n) {
        if (at >= word.size()) {
            return {};
        }
        at += CodePointSize(static_cast<unsigned char>(word[at]));
    }
    return at <= word.size() ? word.substr(0, at) : std::string_view{};
}

std::optional<std::map<std::string, SearchStartLists::First>>
SearchStartLists::ReadFirsts(std::string_view bytes, size_t pageCount) {
    std::map<std::string, First> firsts;
    if (bytes.empty()) {
        return firsts;
    }
    if (bytes.back() != '\n') {
        return std::nullopt;
    }
    for (std::string_view line : SplitAt(bytes.substr(0, bytes.size() - 1), '\n')) {
        std::vector<std::string_view> fields = SplitAt(line, '\t');
        if (fields.size() != 4 || fields[0].empty() || Prefix(fields[0], 1) != fields[0]) {
            return std::nullopt;
        }
        auto first = ReadFirst(fields, pageCount);
        if (!first) {
            return std::nullopt;
        }
        firsts[std::string(fields[0])] = std::move(*first);
    }
    return firsts;
}

size_t SearchStartLists::PartOf(std::string_view prefix, size_t parts) {
    return prefix.empty() || parts == 0 ? 0 : FirstCodePoint(prefix) % parts;
}

SearchStartLists::Parts SearchStartLists::Make(const SearchWords& words, size_t pageCount) {
    std::vector<StartList> lists;
    PrefixLists ones(1, pageCount, lists);
    PrefixLists twos(2, pageCount, lists);
    for (size_t word = 0; word < words.Size(); ++word) {
        ones.Word(words, word);
        twos.Word(words, word);
    }
    ones.Finish();
    twos.Finish();
    if (lists.empty()) {
        return {};
    }
    Parts out;
    out.firsts = Firsts(lists);
    size_t partCount = PartCount(lists);
    // Each part's prefixes in code point order, which is their bytes' order.
    std::vector<size_t> order(lists.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(),
              [&](size_t a, size_t b) { return lists[a].prefix < lists[b].prefix; });
    std::vector<std::string>& parts = out.lists;
    parts.resize(partCount);
    std::vector<std::string_view> before(partCount);
    std::vector<SearchPosting> postings;
    for (size_t i : order) {
        const StartList& list = lists[i];
        postings.resize(list.pages.size());
        for (size_t k = 0; k < list.pages.size(); ++k) {
            postings[k].page = list.pages[k];
            postings[k].count = list.values[k] >> 2;
            postings[k].flags = static_cast<std::uint8_t>(list.values[k] & 3);
        }
        size_t part = PartOf(list.prefix, partCount);
        SearchWordPart::Append(list.prefix, postings, before[part], parts[part], false);
        before[part] = list.prefix;
    }
    return out;
}

} // namespace tamblin
