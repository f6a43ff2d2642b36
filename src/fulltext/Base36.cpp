#include "fulltext/Base36.h"

namespace tamblin {

std::string Base36::Write(std::uint32_t value) {
    static constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    char digits[8];
    size_t at = sizeof digits;
    do {
        digits[--at] = kDigits[value % 36];
        value /= 36;
    } while (value != 0);
    return {digits + at, sizeof digits - at};
}

std::optional<std::uint32_t> Base36::Read(std::string_view text) {
    // Seven digits hold every 32-bit number and some more; more than that is refused.
    if (text.empty() || text.size() > 7) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (char c : text) {
        int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'z' ? c - 'a' + 10 : -1;
        if (digit < 0) {
            return std::nullopt;
        }
        value = value * 36 + static_cast<std::uint64_t>(digit);
    }
    if (value > UINT32_MAX) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(value);
}

} // namespace tamblin
