#include "index/Base64.h"

#include <array>

namespace tamblin {

namespace {

constexpr std::string_view kAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::array<int, 256> DecodeTable() {
    std::array<int, 256> table{};
    table.fill(-1);
    for (size_t i = 0; i < kAlphabet.size(); ++i) {
        table[static_cast<unsigned char>(kAlphabet[i])] = static_cast<int>(i);
    }
    return table;
}

} // namespace

// Written into a buffer sized once: the search index writes megabytes of parts through here.
void Base64Append(std::string_view bytes, std::string& out) {
    size_t at = out.size();
    out.resize(at + (bytes.size() + 2) / 3 * 4);
    char* to = out.data() + at;
    const auto* from = reinterpret_cast<const unsigned char*>(bytes.data());
    size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        unsigned v = static_cast<unsigned>(from[i]) << 16 |
                     static_cast<unsigned>(from[i + 1]) << 8 | from[i + 2];
        to[0] = kAlphabet[v >> 18];
        to[1] = kAlphabet[(v >> 12) & 63];
        to[2] = kAlphabet[(v >> 6) & 63];
        to[3] = kAlphabet[v & 63];
        to += 4;
    }
    size_t rest = bytes.size() - i;
    if (rest > 0) {
        unsigned v = static_cast<unsigned>(from[i]) << 16;
        if (rest == 2) {
            v |= static_cast<unsigned>(from[i + 1]) << 8;
        }
        to[0] = kAlphabet[v >> 18];
        to[1] = kAlphabet[(v >> 12) & 63];
        to[2] = rest == 2 ? kAlphabet[(v >> 6) & 63] : '=';
        to[3] = '=';
    }
}

std::string Base64Encode(std::string_view bytes) {
    std::string out;
    Base64Append(bytes, out);
    return out;
}

// Strict: the length is a multiple of 4, '=' only as the last one or two characters.
std::optional<std::string> Base64Decode(std::string_view text) {
    static const std::array<int, 256> table = DecodeTable();
    if (text.size() % 4 != 0) {
        return std::nullopt;
    }
    size_t padding = 0;
    if (!text.empty() && text.back() == '=') {
        padding = text.size() >= 2 && text[text.size() - 2] == '=' ? 2 : 1;
    }
    std::string out;
    out.reserve(text.size() / 4 * 3);
    for (size_t i = 0; i < text.size(); i += 4) {
        unsigned v = 0;
        for (size_t k = 0; k < 4; ++k) {
            bool padded = i + 4 == text.size() && k >= 4 - padding;
            int digit = padded ? 0 : table[static_cast<unsigned char>(text[i + k])];
            if (digit < 0) {
                return std::nullopt;
            }
            v = v << 6 | static_cast<unsigned>(digit);
        }
        size_t take = i + 4 == text.size() ? 3 - padding : 3;
        for (size_t k = 0; k < take; ++k) {
            out += static_cast<char>((v >> (16 - 8 * k)) & 0xFF);
        }
    }
    return out;
}

std::string Base64Script(std::string_view opening, std::string_view bytes,
                         std::string_view closing) {
    std::string script;
    script.reserve(opening.size() + (bytes.size() + 2) / 3 * 4 + closing.size());
    script += opening;
    Base64Append(bytes, script);
    script += closing;
    return script;
}

std::optional<std::string> Base64FromScript(std::string_view script, std::string_view opening,
                                            std::string_view closing) {
    if (script.size() < opening.size() + closing.size() || !script.starts_with(opening) ||
        !script.ends_with(closing)) {
        return std::nullopt;
    }
    return Base64Decode(
        script.substr(opening.size(), script.size() - opening.size() - closing.size()));
}

} // namespace tamblin
