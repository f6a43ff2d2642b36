#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tamblin {

// The numbers of the search index's text parts (page parts, first.js): digits and lowercase
// letters, shorter than decimal and free of the separators around them.
class Base36 {
public:
    static std::string Write(std::uint32_t value);
    // Nothing for an empty text, another character or more than seven digits.
    static std::optional<std::uint32_t> Read(std::string_view text);
};

} // namespace tamblin
