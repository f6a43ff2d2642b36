#include "fulltext/WordTokenizer.h"

#include "fulltext/WordFold.h"

#include <algorithm>

namespace tamblin {

namespace {

// The words of one text as they are found: a run of word characters, or a run of characters
// searched by pairs. Words are built in UTF-8 in one buffer and handed over as views.
class Splitter {
public:
    explicit Splitter(WordTokenizer::Sink sink) : m_sink(sink) {}

    void Character(char32_t folded, std::uint32_t start, std::uint32_t end) {
        switch (WordFold::KindOf(folded)) {
        case WordFold::kWord:
            Word(folded, start, end);
            return;
        case WordFold::kPair:
            EndWord();
            m_pairs.push_back({folded, start, end});
            return;
        default:
            End();
        }
    }

    // A folded letter or digit.
    void Word(char32_t folded, std::uint32_t start, std::uint32_t end) {
        if (!m_pairs.empty()) {
            EndPairs();
        }
        if (m_wordChars == 0) {
            m_wordStart = start;
        }
        if (m_wordChars < WordTokenizer::kMaxWordLength) {
            if (folded < 0x80) {
                m_word[m_wordBytes++] = static_cast<char>(folded);
            } else {
                m_utf8.clear();
                WordTokenizer::AppendUtf8(folded, m_utf8);
                std::copy(m_utf8.begin(), m_utf8.end(), m_word + m_wordBytes);
                m_wordBytes += m_utf8.size();
            }
            ++m_wordChars;
        }
        m_wordEnd = end;
    }

    void End() {
        EndWord();
        if (!m_pairs.empty()) {
            EndPairs();
        }
    }

    void EndWord() {
        if (m_wordChars != 0) {
            m_sink.take(m_sink.context, std::string_view(m_word, m_wordBytes), m_wordStart,
                        m_wordEnd);
            m_wordBytes = 0;
            m_wordChars = 0;
        }
    }

private:
    struct PairChar {
        char32_t c;
        std::uint32_t start;
        std::uint32_t end;
    };

    void EmitPair(char32_t a, const char32_t* b, std::uint32_t start, std::uint32_t end) {
        m_pair.clear();
        WordTokenizer::AppendUtf8(a, m_pair);
        if (b) {
            WordTokenizer::AppendUtf8(*b, m_pair);
        }
        m_sink.take(m_sink.context, m_pair, start, end);
    }

    void EndPairs() {
        if (m_pairs.size() == 1) {
            EmitPair(m_pairs[0].c, nullptr, m_pairs[0].start, m_pairs[0].end);
        }
        for (size_t i = 0; i + 1 < m_pairs.size(); ++i) {
            EmitPair(m_pairs[i].c, &m_pairs[i + 1].c, m_pairs[i].start, m_pairs[i + 1].end);
        }
        m_pairs.clear();
    }

    WordTokenizer::Sink m_sink;
    // At most kMaxWordLength characters of at most four bytes.
    char m_word[WordTokenizer::kMaxWordLength * 4] = {};
    size_t m_wordBytes = 0;
    size_t m_wordChars = 0;
    std::string m_utf8;
    std::uint32_t m_wordStart = 0;
    std::uint32_t m_wordEnd = 0;
    std::vector<PairChar> m_pairs;
    std::string m_pair;
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

void WordTokenizer::SplitInto(std::string_view utf8, Sink sink) {
    Splitter splitter(sink);
    std::u32string folded;
    std::uint32_t offset = 0;
    for (size_t at = 0; at < utf8.size();) {
        auto byte = static_cast<unsigned char>(utf8[at]);
        if (byte < 0x80) {
            // Most text is ASCII: letters fold by case alone, the rest separate.
            ++at;
            if ((byte | 0x20) >= 'a' && (byte | 0x20) <= 'z') {
                splitter.Word(byte | 0x20, offset, offset + 1);
            } else if (byte >= '0' && byte <= '9') {
                splitter.Word(byte, offset, offset + 1);
            } else {
                splitter.End();
            }
            ++offset;
            continue;
        }
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

void WordTokenizer::Split(std::string_view utf8,
                          const std::function<void(const WordToken&)>& take) {
    WordToken token;
    ForEach(utf8, [&](std::string_view word, std::uint32_t start, std::uint32_t end) {
        token.word.assign(word);
        token.start = start;
        token.end = end;
        take(token);
    });
}

std::vector<WordToken> WordTokenizer::Words(std::string_view utf8) {
    std::vector<WordToken> words;
    Split(utf8, [&](const WordToken& token) { words.push_back(token); });
    return words;
}

} // namespace tamblin
