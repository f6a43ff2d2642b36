#include "fulltext/WordTokenizer.h"

#include "fulltext/WordFold.h"

namespace tamblin {

namespace {

// The words of one text as they are found: a run of word characters, or a run of characters
// searched by pairs.
class Splitter {
public:
    explicit Splitter(const std::function<void(const WordToken&)>& take) : m_take(take) {}

    void Character(char32_t folded, std::uint32_t start, std::uint32_t end) {
        switch (WordFold::KindOf(folded)) {
        case WordFold::kWord:
            EndPairs();
            if (m_word.empty()) {
                m_wordStart = start;
            }
            if (m_word.size() < WordTokenizer::kMaxWordLength) {
                m_word += folded;
            }
            m_wordEnd = end;
            return;
        case WordFold::kPair:
            EndWord();
            m_pairs.push_back({folded, start, end});
            return;
        default:
            End();
        }
    }

    void End() {
        EndWord();
        EndPairs();
    }

private:
    struct PairChar {
        char32_t c;
        std::uint32_t start;
        std::uint32_t end;
    };

    void Emit(const std::u32string& word, std::uint32_t start, std::uint32_t end) {
        m_token.word.clear();
        for (char32_t c : word) {
            WordTokenizer::AppendUtf8(c, m_token.word);
        }
        m_token.start = start;
        m_token.end = end;
        m_take(m_token);
    }

    void EndWord() {
        if (!m_word.empty()) {
            Emit(m_word, m_wordStart, m_wordEnd);
            m_word.clear();
        }
    }

    void EndPairs() {
        if (m_pairs.size() == 1) {
            Emit(std::u32string(1, m_pairs[0].c), m_pairs[0].start, m_pairs[0].end);
        }
        for (size_t i = 0; i + 1 < m_pairs.size(); ++i) {
            Emit(std::u32string{m_pairs[i].c, m_pairs[i + 1].c}, m_pairs[i].start,
                 m_pairs[i + 1].end);
        }
        m_pairs.clear();
    }

    const std::function<void(const WordToken&)>& m_take;
    std::u32string m_word;
    std::uint32_t m_wordStart = 0;
    std::uint32_t m_wordEnd = 0;
    std::vector<PairChar> m_pairs;
    WordToken m_token;
};

} // namespace

char32_t WordTokenizer::NextCodePoint(std::string_view utf8, size_t& at) {
    auto byte = [&](size_t i) { return static_cast<unsigned char>(utf8[i]); };
    unsigned char lead = byte(at++);
    if (lead < 0x80) {
        return lead;
    }
    int more = lead >= 0xF0 && lead <= 0xF4 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 ? 1 : -1;
    if (more < 0 || lead > 0xF4) {
        return 0xFFFD;
    }
    char32_t c = lead & (0x3F >> more);
    for (int k = 0; k < more; ++k) {
        if (at >= utf8.size() || (byte(at) & 0xC0) != 0x80) {
            return 0xFFFD;
        }
        c = c << 6 | (byte(at++) & 0x3F);
    }
    static constexpr char32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
    bool bad = c < kSmallest[more] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF);
    return bad ? 0xFFFD : c;
}

void WordTokenizer::AppendUtf8(char32_t c, std::string& out) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | c >> 18);
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void WordTokenizer::Split(std::string_view utf8,
                          const std::function<void(const WordToken&)>& take) {
    Splitter splitter(take);
    std::u32string folded;
    std::uint32_t offset = 0;
    for (size_t at = 0; at < utf8.size();) {
        char32_t c = NextCodePoint(utf8, at);
        std::uint32_t end = offset + (c >= 0x10000 ? 2 : 1);
        folded.clear();
        WordFold::Append(c, folded);
        for (char32_t f : folded) {
            splitter.Character(f, offset, end);
        }
        offset = end;
    }
    splitter.End();
}

std::vector<WordToken> WordTokenizer::Words(std::string_view utf8) {
    std::vector<WordToken> words;
    Split(utf8, [&](const WordToken& token) { words.push_back(token); });
    return words;
}

} // namespace tamblin
