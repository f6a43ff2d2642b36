#include "fulltext/SearchIndexReader.h"

#include "fulltext/Base36.h"
#include "fulltext/SearchIndexFiles.h"
#include "fulltext/SearchPartScript.h"
#include "fulltext/SearchStartLists.h"
#include "fulltext/SearchWordPart.h"
#include "fulltext/WordTokenizer.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

namespace tamblin {

namespace {

std::optional<std::string> ReadPart(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string script((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return SearchPartBytes(script);
}

std::vector<std::string> Split(std::string_view text, char separator) {
    std::vector<std::string> parts;
    size_t at = 0;
    while (true) {
        size_t end = text.find(separator, at);
        parts.emplace_back(text.substr(at, end == std::string_view::npos ? end : end - at));
        if (end == std::string_view::npos) {
            return parts;
        }
        at = end + 1;
    }
}

// Lines of a part; the last one ends with a line break.
std::optional<std::vector<std::string>> Lines(const std::string& bytes) {
    if (bytes.empty() || bytes.back() != '\n') {
        return std::nullopt;
    }
    std::vector<std::string> lines =
        Split(std::string_view(bytes).substr(0, bytes.size() - 1), '\n');
    return lines;
}

// How well a page answers: words in its title, in headings, how often, how near each other.
double Score(const std::vector<const SearchPosting*>& hits) {
    double score = 0;
    for (const SearchPosting* hit : hits) {
        score += SearchPosting::Score(hit->count, hit->flags);
    }
    for (size_t i = 0; i + 1 < hits.size(); ++i) {
        std::uint32_t nearest = UINT32_MAX;
        for (std::uint32_t a : hits[i]->offsets) {
            for (std::uint32_t b : hits[i + 1]->offsets) {
                nearest = std::min(nearest, a > b ? a - b : b - a);
            }
        }
        if (nearest != UINT32_MAX) {
            score += 50.0 / (1.0 + nearest / 8.0);
        }
    }
    return score;
}

} // namespace

std::optional<SearchIndexReader> SearchIndexReader::Load(const std::string& indexPath) {
    return FromParts(SearchIndexFiles::Folder(indexPath));
}

bool SearchIndexReader::ReadList(const std::string& bytes, size_t& pageCount, size_t& wordParts) {
    auto lines = Lines(bytes);
    if (!lines || lines->size() < 2 || (*lines)[0] != "navora-search 2") {
        return false;
    }
    std::istringstream counts((*lines)[1]);
    size_t perPart = 0;
    if (!(counts >> pageCount >> perPart) ||
        perPart != static_cast<size_t>(SearchIndexFiles::kPagesPerPart)) {
        return false;
    }
    if (!(counts >> m_startParts)) {
        m_startParts = 0;
    } else if (m_startParts > SearchStartLists::kMaxParts) {
        return false;
    }
    wordParts = lines->size() - 2;
    return true;
}

bool SearchIndexReader::ReadPagePart(const std::string& bytes) {
    auto lines = Lines(bytes);
    if (!lines) {
        return false;
    }
    for (const std::string& line : *lines) {
        std::vector<std::string> fields = Split(line, '\t');
        if (fields.size() != 3) {
            return false;
        }
        m_data.pages.push_back({fields[0], fields[1], {}});
        if (fields[2].empty()) {
            continue;
        }
        std::vector<std::string> numbers = Split(fields[2], ',');
        if (numbers.size() % 3 != 0) {
            return false;
        }
        for (size_t i = 0; i < numbers.size(); i += 3) {
            auto part = Base36::Read(numbers[i + 1]);
            auto index = Base36::Read(numbers[i + 2]);
            if (!part || !index || !Base36::Read(numbers[i])) {
                return false;
            }
            if (m_textParts.size() <= *part) {
                auto text = ReadPart(SearchIndexFiles::TextPart(m_folder, *part));
                auto sections = text ? Lines(*text) : std::nullopt;
                if (!sections || *part != m_textParts.size()) {
                    return false;
                }
                m_textParts.push_back(std::move(*sections));
            }
            if (*index >= m_textParts[*part].size()) {
                return false;
            }
            m_data.pages.back().text += m_textParts[*part][*index];
        }
    }
    return true;
}

bool SearchIndexReader::ReadWordPart(const std::string& bytes) {
    auto words = SearchWordPart::Read(bytes);
    if (!words || words->empty() ||
        (!m_data.words.Empty() &&
         words->front().first <= m_data.words.Text(m_data.words.Size() - 1))) {
        return false;
    }
    for (auto& word : *words) {
        for (const SearchPosting& posting : word.second) {
            if (posting.page >= m_pageCount) {
                return false;
            }
        }
        m_data.words.Add(word.first, word.second);
    }
    return true;
}

std::optional<SearchIndexReader> SearchIndexReader::FromParts(const std::string& folder) {
    SearchIndexReader reader;
    reader.m_folder = folder;
    auto list = ReadPart(SearchIndexFiles::List(folder));
    size_t pageCount = 0;
    size_t wordParts = 0;
    if (!list || !reader.ReadList(*list, pageCount, wordParts)) {
        return std::nullopt;
    }
    reader.m_pageCount = pageCount;
    size_t pageParts = (pageCount + SearchIndexFiles::kPagesPerPart - 1) /
                       static_cast<size_t>(SearchIndexFiles::kPagesPerPart);
    for (size_t i = 0; i < pageParts; ++i) {
        auto part = ReadPart(SearchIndexFiles::PagePart(folder, i));
        if (!part || !reader.ReadPagePart(*part)) {
            return std::nullopt;
        }
    }
    for (size_t i = 0; i < wordParts; ++i) {
        auto part = ReadPart(SearchIndexFiles::WordPart(folder, i));
        if (!part || !reader.ReadWordPart(*part)) {
            return std::nullopt;
        }
    }
    for (size_t i = 0; i < reader.m_startParts; ++i) {
        auto part = ReadPart(SearchIndexFiles::StartPart(folder, i));
        if (!part || !reader.ReadStartPart(*part, i)) {
            return std::nullopt;
        }
    }
    if (reader.m_startParts > 0) {
        auto part = ReadPart(SearchIndexFiles::FirstPart(folder));
        auto firsts = part ? SearchStartLists::ReadFirsts(*part, pageCount) : std::nullopt;
        if (!firsts) {
            return std::nullopt;
        }
        reader.m_firsts = std::move(*firsts);
    }
    if (reader.m_data.pages.size() != pageCount) {
        return std::nullopt;
    }
    return reader;
}

// A start part's prefixes are of one or two characters, each in the part its first names.
bool SearchIndexReader::ReadStartPart(const std::string& bytes, size_t number) {
    auto lists = SearchWordPart::Read(bytes);
    if (!lists) {
        return false;
    }
    for (auto& [prefix, postings] : *lists) {
        bool shortPrefix = SearchStartLists::Prefix(prefix, 1) == prefix ||
                           SearchStartLists::Prefix(prefix, 2) == prefix;
        if (!shortPrefix || SearchStartLists::PartOf(prefix, m_startParts) != number ||
            (!postings.empty() && postings.back().page >= m_pageCount)) {
            return false;
        }
        m_starts[prefix] = std::move(postings);
    }
    return true;
}

const SearchStartLists::First* SearchIndexReader::FirstList(const std::string& character) const {
    auto it = m_firsts.find(character);
    return it == m_firsts.end() ? nullptr : &it->second;
}

const std::vector<SearchPosting>* SearchIndexReader::StartList(const std::string& prefix) const {
    auto it = m_starts.find(prefix);
    return it == m_starts.end() ? nullptr : &it->second;
}

std::vector<SearchPosting> SearchIndexReader::Postings(const std::string& word, bool prefix) const {
    std::map<std::uint32_t, SearchPosting> merged;
    for (size_t i = m_data.words.LowerBound(word); i < m_data.words.Size(); ++i) {
        std::string_view text = m_data.words.Text(i);
        bool match = prefix ? text.starts_with(word) : text == word;
        if (!match) {
            break;
        }
        for (const SearchPosting& posting : m_data.words.Postings(i)) {
            SearchPosting& into = merged[posting.page];
            into.page = posting.page;
            into.count += posting.count;
            into.flags |= posting.flags;
            into.offsets.insert(into.offsets.end(), posting.offsets.begin(), posting.offsets.end());
        }
    }
    std::vector<SearchPosting> out;
    for (auto& [page, posting] : merged) {
        std::sort(posting.offsets.begin(), posting.offsets.end());
        out.push_back(std::move(posting));
    }
    return out;
}

std::vector<std::uint32_t> SearchIndexReader::Search(std::string_view query,
                                                     bool lastIsPrefix) const {
    std::vector<WordToken> words = WordTokenizer::Words(query);
    if (words.empty()) {
        return {};
    }
    std::vector<std::vector<SearchPosting>> lists;
    for (size_t i = 0; i < words.size(); ++i) {
        lists.push_back(Postings(words[i].word, lastIsPrefix && i + 1 == words.size()));
    }
    std::vector<std::pair<double, std::uint32_t>> ranked;
    for (const SearchPosting& candidate : lists[0]) {
        std::vector<const SearchPosting*> hits{&candidate};
        for (size_t i = 1; i < lists.size() && hits.size() == i; ++i) {
            auto it = std::lower_bound(
                lists[i].begin(), lists[i].end(), candidate.page,
                [](const SearchPosting& p, std::uint32_t page) { return p.page < page; });
            if (it != lists[i].end() && it->page == candidate.page) {
                hits.push_back(&*it);
            }
        }
        if (hits.size() == lists.size()) {
            ranked.emplace_back(-Score(hits), candidate.page);
        }
    }
    std::sort(ranked.begin(), ranked.end());
    std::vector<std::uint32_t> pages;
    for (const auto& [score, page] : ranked) {
        pages.push_back(page);
    }
    return pages;
}

} // namespace tamblin
