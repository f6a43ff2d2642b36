#include "fulltext/SearchPartScript.h"

#include "fulltext/SearchPartPack.h"
#include "index/Base64.h"

namespace tamblin {

namespace {

constexpr std::string_view kOpening =
    "/* Written by Tamblin: a part of the full-text search index of the index file this folder "
    "is named after, for the search page's viewer. */\r\n"
    "if (typeof navoraSearchPart === \"function\") navoraSearchPart(3, \"";
constexpr std::string_view kClosing = "\");\r\n";

} // namespace

std::string SearchPartScript(std::string_view bytes) {
    return SearchPartScriptOfPacked(SearchPartPack::Pack(bytes));
}

std::string SearchPartScriptOfPacked(std::string_view packed) {
    return Base64Script(kOpening, packed, kClosing);
}

std::optional<std::string> SearchPartBytes(std::string_view script) {
    auto packed = Base64FromScript(script, kOpening, kClosing);
    return packed ? SearchPartPack::Unpack(*packed) : std::nullopt;
}

} // namespace tamblin
