#include "fulltext/SearchPartScript.h"

#include "index/Base64.h"

namespace tamblin {

namespace {

constexpr std::string_view kOpening =
    "/* Written by Tamblin: a part of the full-text search index of the index file this folder "
    "is named after, for the search page's viewer. */\r\n"
    "if (typeof navoraSearchPart === \"function\") navoraSearchPart(2, \"";
constexpr std::string_view kClosing = "\");\r\n";

} // namespace

std::string SearchPartScript(std::string_view bytes) {
    std::string script(kOpening);
    script += Base64Encode(bytes);
    script += kClosing;
    return script;
}

std::optional<std::string> SearchPartBytes(std::string_view script) {
    if (script.size() < kOpening.size() + kClosing.size() || !script.starts_with(kOpening) ||
        !script.ends_with(kClosing)) {
        return std::nullopt;
    }
    return Base64Decode(
        script.substr(kOpening.size(), script.size() - kOpening.size() - kClosing.size()));
}

} // namespace tamblin
