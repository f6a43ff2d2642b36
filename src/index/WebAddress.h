#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tamblin {

// Addresses resolved as browsers resolve a link: `new URL(href, base)` of the WHATWG URL
// Standard for the special schemes (http, https, ws, wss, ftp, file), with dot segments
// removed, ".." held at the root, backslashes read as slashes, root-relative,
// scheme-relative, query-only and fragment-only links, default ports dropped and the
// characters a URL cannot hold percent-encoded. The scanner reads pages and writes entries
// by it, the link check finds them by it, and the script viewer's browser agrees.
class WebAddress {
public:
    // The absolute address `href` names on the page at `base` (an absolute special URL).
    // Nothing when it cannot be resolved here: a broken host or port, a host that is not
    // ASCII. An href with a scheme that is not special comes back trimmed, as it is.
    static std::optional<std::string> Resolve(std::string_view href, std::string_view base);
    // `address` in its shortest form under `directory` (an absolute address ending in "/"):
    // the rest of it when it lies below, a path with "../" when it shares the origin,
    // otherwise the address itself.
    static std::string Shortest(const std::string& address, const std::string& directory);
    // "scheme://host[:port]" of an absolute special address, or "".
    static std::string Origin(std::string_view address);
};

} // namespace tamblin
