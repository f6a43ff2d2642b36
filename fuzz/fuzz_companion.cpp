// Arbitrary bytes through the companion script: the script must hold nothing between its
// fixed opening and closing but base64 characters (so no byte of a hostile file can end the
// string it sits in), and reading it back must give the bytes exactly. Arbitrary bytes read
// as a script must never crash the reader.
#include "index/CompanionScript.h"

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tamblin;
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::string script = CompanionScript(bytes);
    std::string empty = CompanionScript("");
    size_t opening = empty.size() - 5; // the closing is `");` and CR LF
    if (script.size() < empty.size() || script.compare(0, opening, empty, 0, opening) != 0 ||
        !script.ends_with(empty.substr(opening))) {
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
    std::optional<std::string> back = CompanionBytes(script);
    if (!back || *back != bytes) {
        std::abort();
    }
    CompanionBytes(bytes);
    // Arbitrary text where the base64 goes: decoded or refused, never read past.
    CompanionBytes(empty.substr(0, opening) + std::string(bytes) + empty.substr(opening));
    return 0;
}
