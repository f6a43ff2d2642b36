#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace tamblin {

// One word of a text: folded (WordFold), in UTF-8, and where it stands in the text, counted
// in UTF-16 code units as the viewer counts.
struct WordToken {
    std::string word;
    std::uint32_t start = 0;
    std::uint32_t end = 0;
};

// Splits a text into the words a search matches: runs of letters and digits once folded;
// runs of Chinese and Japanese characters as every pair of neighbours (one alone is a word of
// its own). The viewer's Search tab splits what the reader types by the same rule.
class WordTokenizer {
public:
    // Longer words keep their first this many folded characters, on both sides.
    static constexpr size_t kMaxWordLength = 64;

    // Calls `take` for every word of `utf8`, in order. Bytes that are not UTF-8 separate.
    static void Split(std::string_view utf8, const std::function<void(const WordToken&)>& take);
    // The same words without a copy each: take(word, start, end), `word` valid for the call.
    template <typename Take> static void ForEach(std::string_view utf8, Take&& take) {
        using Fn = std::remove_reference_t<Take>;
        SplitInto(utf8, {&take, [](void* context, std::string_view word, std::uint32_t start,
                                   std::uint32_t end) {
                             (*static_cast<Fn*>(context))(word, start, end);
                         }});
    }
    static std::vector<WordToken> Words(std::string_view utf8);
    // The next code point of `utf8` at `at` (moved past it); U+FFFD for a bad sequence.
    static char32_t NextCodePoint(std::string_view utf8, size_t& at);
    static void AppendUtf8(char32_t c, std::string& out);

    struct Sink {
        void* context;
        void (*take)(void*, std::string_view, std::uint32_t, std::uint32_t);
    };
    static void SplitInto(std::string_view utf8, Sink sink);
};

} // namespace tamblin
