#include "contents/RelativePath.h"

#include <algorithm>
#include <cctype>

namespace tamblin {

namespace {

bool IsDrivePath(const std::string& path) {
    return path.size() > 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
           path[2] == '\\';
}

// Where the comparison starts: just after the root of the path.
size_t RootLength(char separator) {
    return separator == '\\' ? 3 : 1;
}

bool IsFullPath(const std::string& path, char separator) {
    return separator == '\\' ? IsDrivePath(path) : !path.empty() && path[0] == separator;
}

} // namespace

std::string RelativePath(const std::string& from, const std::string& to, char separator) {
    if (from == to || !IsFullPath(from, separator) || !IsFullPath(to, separator)) {
        return {};
    }
    std::string a = from;
    std::string b = to;
    std::replace(a.begin(), a.end(), '\\', '/');
    std::replace(b.begin(), b.end(), '\\', '/');
    if (separator == '\\' && a[0] != b[0]) {
        b[1] = '|';
        return "file:///" + b;
    }
    size_t root = RootLength(separator);
    size_t common = root;
    while (common < a.size() && common < b.size() && a[common] == b[common]) {
        ++common;
    }
    size_t lastSlash = a.rfind('/', common == 0 ? 0 : common - 1);
    size_t cut = lastSlash == std::string::npos ? root : std::max(root, lastSlash + 1);
    std::string result;
    for (size_t i = cut; i < a.size(); ++i) {
        if (a[i] == '/') {
            result += "../";
        }
    }
    return result + b.substr(cut);
}

} // namespace tamblin
