// Arbitrary bytes through a part of the full-text search index: the script must hold nothing
// between its fixed opening and closing but base64 characters, so that no text of a page can
// end the string it sits in, and reading it back must give the bytes exactly; arbitrary bytes
// read as a part, packed or not, must never crash the reader. The same bytes as a page's text
// through the word splitter: every word within the text, in order, none empty or too long.
#include "ScriptWrapperCheck.h"
#include "fulltext/SearchPartPack.h"
#include "fulltext/SearchPartScript.h"
#include "fulltext/SearchStartLists.h"
#include "fulltext/SearchWordPart.h"
#include "fulltext/WordTokenizer.h"

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace {

void CheckWords(std::string_view bytes) {
    using namespace tamblin;
    std::uint32_t units = 0;
    for (size_t at = 0; at < bytes.size();) {
        units += WordTokenizer::NextCodePoint(bytes, at) >= 0x10000 ? 2 : 1;
    }
    std::uint32_t last = 0;
    WordTokenizer::Split(bytes, [&](const WordToken& token) {
        if (token.word.empty() || token.word.size() > 4 * WordTokenizer::kMaxWordLength ||
            token.start >= token.end || token.end > units || token.start < last) {
            std::abort();
        }
        last = token.start;
    });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CheckScriptWrapper(bytes, tamblin::SearchPartScript, tamblin::SearchPartBytes);
    CheckWords(bytes);
    // The same bytes as a packing: unpacked within their bounds, or refused.
    tamblin::SearchPartPack::Unpack(bytes);
    // As the first characters' part: read within its bounds, or refused.
    tamblin::SearchStartLists::ReadFirsts(bytes, 1000);
    // The same bytes as a word part: read, or refused; what is read writes a part that reads.
    if (auto words = tamblin::SearchWordPart::Read(bytes)) {
        std::string again;
        std::string_view before;
        for (const auto& word : *words) {
            tamblin::SearchWordPart::Append(word, before, again);
            before = word.first;
        }
        if (!tamblin::SearchWordPart::Read(again)) {
            std::abort();
        }
    }
    return 0;
}
