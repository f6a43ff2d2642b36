#include "index/CompanionScript.h"

#include "index/FileReplace.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace tamblin {

namespace {

// The script before and after the base64 text. A companion loaded without the viewer does
// nothing, and one written by a later version can say so by its first argument.
constexpr std::string_view kOpening =
    "/* Written by Tamblin: the bytes of the file this script is named after (its name without"
    " \".js\"), for the search page's viewer when the page is read from disk. */\r\n"
    "if (typeof navoraCompanion === \"function\") navoraCompanion(1, \"";
constexpr std::string_view kClosing = "\");\r\n";

constexpr std::string_view kAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string Base64(std::string_view bytes) {
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        unsigned v = static_cast<unsigned char>(bytes[i]) << 16 |
                     static_cast<unsigned char>(bytes[i + 1]) << 8 |
                     static_cast<unsigned char>(bytes[i + 2]);
        for (int shift : {18, 12, 6, 0}) {
            out += kAlphabet[(v >> shift) & 63];
        }
    }
    size_t rest = bytes.size() - i;
    if (rest > 0) {
        unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
        if (rest == 2) {
            v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        }
        out += kAlphabet[(v >> 18) & 63];
        out += kAlphabet[(v >> 12) & 63];
        out += rest == 2 ? kAlphabet[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

std::array<int, 256> DecodeTable() {
    std::array<int, 256> table{};
    table.fill(-1);
    for (size_t i = 0; i < kAlphabet.size(); ++i) {
        table[static_cast<unsigned char>(kAlphabet[i])] = static_cast<int>(i);
    }
    return table;
}

// Strict: the length is a multiple of 4, '=' only as the last one or two characters.
std::optional<std::string> FromBase64(std::string_view text) {
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

std::optional<std::string> ReadBytes(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        return std::nullopt;
    }
    return bytes;
}

} // namespace

std::string CompanionPath(const std::string& path) {
    return path + ".js";
}

std::string CompanionScript(std::string_view bytes) {
    std::string script(kOpening);
    script += Base64(bytes);
    script += kClosing;
    return script;
}

std::optional<std::string> CompanionBytes(std::string_view script) {
    if (script.size() < kOpening.size() + kClosing.size() || !script.starts_with(kOpening) ||
        !script.ends_with(kClosing)) {
        return std::nullopt;
    }
    return FromBase64(
        script.substr(kOpening.size(), script.size() - kOpening.size() - kClosing.size()));
}

CompanionWrite WriteCompanion(const std::string& path) {
    std::optional<std::string> bytes = ReadBytes(path);
    if (!bytes) {
        return CompanionWrite::NoFile;
    }
    return WriteFileReplacing(CompanionPath(path), CompanionScript(*bytes)).Ok()
               ? CompanionWrite::Written
               : CompanionWrite::CannotWrite;
}

bool RefreshCompanion(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::exists(CompanionPath(path), error)) {
        return true;
    }
    return WriteCompanion(path) == CompanionWrite::Written;
}

} // namespace tamblin
