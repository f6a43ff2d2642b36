#pragma once

#include <stdexcept>

namespace tamblin {

// Failures while reading fields of a record. what() is the exact message text, so readers
// that catch it per record can compare or show it as it stands.
class ParseError final : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline constexpr const char* kTooManyTokens = "Too many tokens accessed\n";
inline constexpr const char* kNotAnInteger = "Not an integer\n";

} // namespace tamblin
