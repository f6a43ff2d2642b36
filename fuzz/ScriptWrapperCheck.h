#pragma once

#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

// Checks one script wrapper over `bytes`: the script holds nothing between its fixed opening
// and closing but base64 characters, so no byte can end the string it sits in; reading it
// back gives the bytes exactly; and arbitrary text read as a script, whole or where the
// base64 goes, is decoded or refused, never read past.
inline void CheckScriptWrapper(std::string_view bytes, std::string (*wrap)(std::string_view),
                               std::optional<std::string> (*unwrap)(std::string_view)) {
    std::string script = wrap(bytes);
    std::string empty = wrap("");
    // The closing is `");` and CR LF; the base64 starts after the opening's quote. Wrapping no
    // bytes may still give some base64 (a packing's length).
    size_t opening = empty.rfind('"', empty.size() - 6) + 1;
    if (script.size() < empty.size() || script.compare(0, opening, empty, 0, opening) != 0 ||
        !script.ends_with(empty.substr(empty.size() - 5))) {
        std::abort();
    }
    for (size_t i = opening; i < script.size() - 5; ++i) {
        char c = script[i];
        bool base64 = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                      c == '+' || c == '/' || c == '=';
        if (!base64) {
            std::abort();
        }
    }
    std::optional<std::string> back = unwrap(script);
    if (!back || *back != bytes) {
        std::abort();
    }
    unwrap(bytes);
    unwrap(empty.substr(0, opening) + std::string(bytes) + empty.substr(empty.size() - 5));
}
