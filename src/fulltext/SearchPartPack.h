#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tamblin {

// The bytes of every part of a search index are packed before they are put in their script:
// a reader downloads a part's text for a snippet and a common word's pages for a prefix, and
// both repeat themselves (the same phrases, the same counts page after page). The packing is
// what a browser unpacks in a few lines of script, without a library:
//   the unpacked length, then runs of: literal count, the literal bytes, and, unless the
//   input ends there, a copy of (length - kMinCopy) bytes from `distance` bytes back.
// Every number is unsigned LEB128. A copy may overlap what it writes (a run of one byte).
class SearchPartPack {
public:
    static constexpr size_t kMinCopy = 4;
    // No part unpacks to more: what a hostile part claims is refused before it is made.
    static constexpr size_t kMaxBytes = size_t{1} << 28;

    static std::string Pack(std::string_view bytes);
    // The same form without a copy: one run of literal bytes, for bytes that do not repeat.
    static std::string Store(std::string_view bytes);
    // Nothing when `packed` is not such bytes.
    static std::optional<std::string> Unpack(std::string_view packed);
};

} // namespace tamblin
