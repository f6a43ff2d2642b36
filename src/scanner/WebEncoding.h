#pragma once

#include <optional>
#include <string_view>

namespace tamblin {

// The encodings browsers read, by the names and labels they know them by. The decoding
// is WebDecoder's.
class WebEncoding {
public:
    // The order of the generated tables.
    enum Kind : int {
        kUtf8 = 0,
        kFirstSingleByte = 1,
        kIso8859_1_Windows1252 = 21,
        kLastSingleByte = 28,
        kGbk = 29,
        kGb18030 = 30,
        kBig5 = 31,
        kEucJp = 32,
        kIso2022Jp = 33,
        kShiftJis = 34,
        kEucKr = 35,
        kReplacement = 36,
        kUtf16Be = 37,
        kUtf16Le = 38,
        kUserDefined = 39,
    };
    static constexpr Kind kWindows1252 = kIso8859_1_Windows1252;

    // A label as pages and servers write it, matched as browsers match it (white space
    // around it ignored, letters in any case); nothing when no encoding has it.
    static std::optional<Kind> FromLabel(std::string_view label);
    static const char* Name(Kind kind);
    static bool IsSingleByte(Kind kind) {
        return kind >= kFirstSingleByte && kind <= kLastSingleByte;
    }
};

} // namespace tamblin
