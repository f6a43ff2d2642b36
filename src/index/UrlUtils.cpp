#include "index/UrlUtils.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace tamblin {

namespace {

bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Removing "/./" can expose another one only at the same "/", so one pass that re-checks
// the end of the output after each character gives the same text as repeated searches.
void RemoveDotSegments(std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        out += c;
        size_t n = out.size();
        if (n >= 3 && out[n - 1] == '/' && out[n - 2] == '.' && out[n - 3] == '/') {
            out.resize(n - 2);
        }
    }
    text = std::move(out);
}

// One "segment/../" fold; false when nothing is left to fold or the path climbs above its
// start.
bool FoldParentSegment(std::string& text) {
    size_t b = text.find("/../");
    if (b == std::string::npos) {
        return false;
    }
    std::string_view left(text.data(), b);
    size_t c = left.rfind('/');
    size_t d = left.rfind(':');
    if (c == std::string_view::npos && d == std::string_view::npos) {
        if (b == 2 && text.compare(0, 2, "..") == 0) {
            return false;
        }
        text.erase(0, b + 4);
        return true;
    }
    size_t cut = c == std::string_view::npos ? d : d == std::string_view::npos ? c : std::max(c, d);
    text.erase(cut + 1, b + 4 - (cut + 1));
    return true;
}

} // namespace

size_t IsAbsoluteUrl(std::string_view text) {
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == ':') {
            return i;
        }
        if (!IsAsciiLetter(text[i])) {
            return 0;
        }
    }
    return 0;
}

void NormalizeUrlPath(std::string& text) {
    if (text.compare(0, 2, "./") == 0) {
        text.erase(0, 2);
    }
    RemoveDotSegments(text);
    while (FoldParentSegment(text)) {
    }
}

PathParts SplitPath(std::string_view path, char separator) {
    size_t last = path.rfind(separator);
    if (last == std::string_view::npos) {
        return {std::string(), std::string(path)};
    }
    return {std::string(path.substr(0, last + 1)), std::string(path.substr(last + 1))};
}

bool FileExists(const std::string& path) {
    // A directory opens for reading on some systems but is no file.
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        return false;
    }
    std::ifstream file(path, std::ios::binary);
    return file.is_open();
}

} // namespace tamblin
