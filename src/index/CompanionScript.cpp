#include "index/CompanionScript.h"

#include "index/Base64.h"
#include "index/FileReplace.h"

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
    return Base64Script(kOpening, bytes, kClosing);
}

std::optional<std::string> CompanionBytes(std::string_view script) {
    return Base64FromScript(script, kOpening, kClosing);
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
