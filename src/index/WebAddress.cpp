#include "index/WebAddress.h"

#include "index/TextUtils.h"

#include <vector>

namespace tamblin {

namespace {

struct Parts {
    std::string scheme;
    std::string authority; // userinfo, host and port as written out
    std::vector<std::string> path;
    std::optional<std::string> query;
    std::optional<std::string> fragment;
};

bool IsAlpha(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

const char* DefaultPort(std::string_view scheme) {
    if (scheme == "http" || scheme == "ws") {
        return "80";
    }
    if (scheme == "https" || scheme == "wss") {
        return "443";
    }
    if (scheme == "ftp") {
        return "21";
    }
    return nullptr;
}

bool IsSpecial(std::string_view scheme) {
    return DefaultPort(scheme) != nullptr || scheme == "file";
}

bool IsSlash(char c) {
    return c == '/' || c == '\\';
}

constexpr std::string_view kPathSet = " \"#<>?`{}";
constexpr std::string_view kQuerySet = " \"#<>'";
constexpr std::string_view kFragmentSet = " \"<>`";
constexpr std::string_view kUserinfoSet = " \"#<>?`{}/:;=@[\\]^|";

bool IsDot(std::string_view segment) {
    return segment == "." || AsciiLower(segment) == "%2e";
}

bool IsDotDot(std::string_view segment) {
    std::string lower = AsciiLower(segment);
    return lower == ".." || lower == ".%2e" || lower == "%2e." || lower == "%2e%2e";
}

// Adds the segments of `text` (a path without "?" or "#") to `path`.
void AddPath(std::string_view text, std::vector<std::string>& path) {
    size_t start = 0;
    while (true) {
        size_t end = start;
        while (end < text.size() && !IsSlash(text[end])) {
            ++end;
        }
        std::string_view segment = text.substr(start, end - start);
        bool last = end >= text.size();
        if (IsDotDot(segment)) {
            if (!path.empty()) {
                path.pop_back();
            }
            if (last) {
                path.emplace_back();
            }
        } else if (IsDot(segment)) {
            if (last) {
                path.emplace_back();
            }
        } else {
            path.push_back(PercentEncode(segment, kPathSet));
        }
        if (last) {
            return;
        }
        start = end + 1;
    }
}

// The authority of a special URL written out, or nothing when its host or port is broken.
std::optional<std::string> Authority(std::string_view text, std::string_view scheme) {
    std::string userinfo;
    if (size_t at = text.rfind('@'); at != std::string_view::npos) {
        std::string_view user = text.substr(0, at);
        size_t colon = user.find(':');
        userinfo = PercentEncode(user.substr(0, colon), kUserinfoSet);
        if (colon != std::string_view::npos && colon + 1 < user.size()) {
            userinfo += ":" + PercentEncode(user.substr(colon + 1), kUserinfoSet);
        }
        if (!userinfo.empty()) {
            userinfo += "@";
        }
        text = text.substr(at + 1);
    }
    size_t colon = text.rfind(':');
    if (colon != std::string_view::npos && text.find(']', colon) != std::string_view::npos) {
        colon = std::string_view::npos; // inside an IPv6 address
    }
    std::string host = AsciiLower(text.substr(0, colon));
    for (char c : host) {
        if (static_cast<unsigned char>(c) >= 0x7F || static_cast<unsigned char>(c) <= 0x20 ||
            std::string_view("#%/:<>?@\\^|").find(c) != std::string_view::npos) {
            if (!(host.front() == '[' && host.back() == ']' && c == ':')) {
                return std::nullopt;
            }
        }
    }
    if (host.empty() && scheme != "file") {
        return std::nullopt;
    }
    std::string port;
    if (colon != std::string_view::npos && scheme == "file") {
        return std::nullopt;
    }
    if (colon != std::string_view::npos) {
        std::string_view digits = text.substr(colon + 1);
        unsigned long value = 0;
        for (char c : digits) {
            if (!IsDigit(c) || (value = value * 10 + static_cast<unsigned>(c - '0')) > 65535) {
                return std::nullopt;
            }
        }
        if (!digits.empty()) {
            port = std::to_string(value);
        }
    }
    const char* standard = DefaultPort(scheme);
    if (!port.empty() && !(standard && port == standard)) {
        host += ":" + port;
    }
    return userinfo + host;
}

// Reads what follows the path: "?query" and "#fragment".
void ReadTail(std::string_view tail, Parts& parts) {
    size_t hash = tail.find('#');
    if (hash != std::string_view::npos) {
        parts.fragment = PercentEncode(tail.substr(hash + 1), kFragmentSet);
        tail = tail.substr(0, hash);
    }
    if (!tail.empty() && tail[0] == '?') {
        parts.query = PercentEncode(tail.substr(1), kQuerySet);
    }
}

std::optional<Parts> ParseBase(std::string_view base) {
    size_t colon = base.find("://");
    if (colon == std::string_view::npos) {
        return std::nullopt;
    }
    Parts parts;
    parts.scheme = AsciiLower(base.substr(0, colon));
    size_t pathAt = base.find_first_of("/?#", colon + 3);
    std::string_view authority = base.substr(colon + 3, pathAt - (colon + 3));
    parts.authority = Authority(authority, parts.scheme).value_or(std::string(authority));
    if (pathAt == std::string_view::npos) {
        parts.path.emplace_back();
        return parts;
    }
    size_t tailAt = base.find_first_of("?#", pathAt);
    std::string_view path = base.substr(pathAt, tailAt - pathAt);
    if (path.empty()) {
        parts.path.emplace_back();
    } else {
        AddPath(path.substr(1), parts.path);
    }
    if (tailAt != std::string_view::npos) {
        ReadTail(base.substr(tailAt), parts);
    }
    return parts;
}

std::string Serialise(const Parts& parts) {
    std::string out = parts.scheme + "://" + parts.authority;
    for (const std::string& segment : parts.path) {
        out += "/" + segment;
    }
    if (parts.query) {
        out += "?" + *parts.query;
    }
    if (parts.fragment) {
        out += "#" + *parts.fragment;
    }
    return out;
}

// Browsers drop white space and controls at either end, and tabs and line breaks within.
std::string Cleaned(std::string_view href) {
    size_t begin = 0;
    size_t end = href.size();
    while (begin < end && static_cast<unsigned char>(href[begin]) <= 0x20) {
        ++begin;
    }
    while (end > begin && static_cast<unsigned char>(href[end - 1]) <= 0x20) {
        --end;
    }
    std::string out;
    for (char c : href.substr(begin, end - begin)) {
        if (c != '\t' && c != '\n' && c != '\r') {
            out += c;
        }
    }
    return out;
}

// The scheme of `href` in lower case, or "" when it has none.
std::string SchemeOf(std::string_view href) {
    if (href.empty() || !IsAlpha(href[0])) {
        return "";
    }
    for (size_t i = 1; i < href.size(); ++i) {
        char c = href[i];
        if (c == ':') {
            return AsciiLower(href.substr(0, i));
        }
        if (!IsAlpha(c) && !IsDigit(c) && c != '+' && c != '-' && c != '.') {
            return "";
        }
    }
    return "";
}

} // namespace

std::optional<std::string> WebAddress::Resolve(std::string_view hrefText, std::string_view base) {
    std::string href = Cleaned(hrefText);
    std::optional<Parts> parts = ParseBase(base);
    if (!parts || !IsSpecial(parts->scheme)) {
        return std::nullopt;
    }
    std::string_view rest = href;
    std::string scheme = SchemeOf(href);
    bool authority = false;
    if (!scheme.empty()) {
        if (!IsSpecial(scheme)) {
            return href;
        }
        rest.remove_prefix(scheme.size() + 1);
        // "http:page.htm" on an http page is relative; another scheme always has a host.
        authority =
            scheme != parts->scheme || (rest.size() >= 2 && IsSlash(rest[0]) && IsSlash(rest[1]));
        parts->scheme = scheme;
    } else {
        authority = rest.size() >= 2 && IsSlash(rest[0]) && IsSlash(rest[1]);
    }
    parts->fragment.reset();
    if (authority) {
        // A file URL's host is what stands between its first two slashes and the next.
        size_t slashes = 0;
        while (!rest.empty() && IsSlash(rest.front()) && (parts->scheme != "file" || slashes < 2)) {
            rest.remove_prefix(1);
            ++slashes;
        }
        size_t end = rest.find_first_of("/\\?#");
        std::optional<std::string> written = Authority(rest.substr(0, end), parts->scheme);
        if (!written) {
            return std::nullopt;
        }
        parts->authority = *written;
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end);
        parts->path.clear();
        parts->query.reset();
        if (rest.empty() || !IsSlash(rest[0])) {
            parts->path.emplace_back();
        }
    } else if (rest.empty()) {
        return Serialise(*parts);
    } else if (rest[0] == '?' || rest[0] == '#') {
        if (rest[0] == '?') {
            parts->query.reset();
        }
        ReadTail(rest, *parts);
        return Serialise(*parts);
    } else if (IsSlash(rest[0])) {
        parts->path.clear();
    } else if (!parts->path.empty()) {
        parts->path.pop_back();
    }
    parts->query.reset();
    size_t tailAt = rest.find_first_of("?#");
    std::string_view path = rest.substr(0, tailAt);
    if (!path.empty()) {
        AddPath(IsSlash(path[0]) ? path.substr(1) : path, parts->path);
    }
    if (tailAt != std::string_view::npos) {
        ReadTail(rest.substr(tailAt), *parts);
    }
    return Serialise(*parts);
}

std::string WebAddress::Origin(std::string_view address) {
    size_t colon = address.find("://");
    if (colon == std::string_view::npos) {
        return "";
    }
    return std::string(address.substr(0, address.find_first_of("/?#", colon + 3)));
}

std::string WebAddress::Shortest(const std::string& address, const std::string& directory) {
    std::string rest;
    if (address.compare(0, directory.size(), directory) == 0) {
        rest = address.substr(directory.size());
    } else {
        std::string origin = Origin(directory);
        if (origin.empty() || Origin(address) != origin) {
            return address;
        }
        // Up from the directory to where both paths part.
        std::string_view from = std::string_view(directory).substr(origin.size());
        std::string_view to = std::string_view(address).substr(origin.size());
        size_t common = 0;
        for (size_t i = 0; i < from.size() && i < to.size() && from[i] == to[i]; ++i) {
            if (from[i] == '/') {
                common = i + 1;
            }
        }
        for (size_t i = common; i < from.size(); ++i) {
            if (from[i] == '/') {
                rest += "../";
            }
        }
        rest += to.substr(common);
    }
    if (rest.empty()) {
        return "./";
    }
    // A first segment with ":" would read as a scheme, an empty one ("//") as a host.
    size_t colon = rest.find(':');
    if (rest[0] == '/' || (colon != std::string::npos && colon < rest.find_first_of("/?#"))) {
        rest = "./" + rest;
    }
    return rest;
}

} // namespace tamblin
