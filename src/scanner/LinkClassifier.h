#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tamblin {

// What a link on a page is to the scan: a page to read, an address to ask the server
// about, or something else (a file, an image, a page off the site), and where it points.
struct ClassifiedLink {
    // The link as it will be queued or written: trimmed, root-relative links joined to the
    // site's root, a file's query dropped.
    std::string link;
    // The folder the link is relative to; empty for absolute links.
    std::string directory;
    bool absolute = false;
    bool page = false;
    bool image = false;
    // Neither a page nor a file by its name: the server's answer decides.
    bool probe = false;
};

// Sorts the links of the page being read. Kept apart from the scan so that the rules can be
// read, and tested, on their own.
class LinkClassifier {
public:
    struct Context {
        bool fromUrl = false;
        // Today's rules: pages by their type, a file's query dropped, server pages probed.
        bool pagesByType = false;
        // "http://host/" of the site, when there is one.
        std::optional<std::string> siteRoot;
    };

    explicit LinkClassifier(Context context) : m_context(std::move(context)) {}
    void SetSiteRoot(std::optional<std::string> root) { m_context.siteRoot = std::move(root); }

    // Nothing for a link with no address (a fragment alone, or "/" in file mode).
    // `directory` is the folder of the page, or where its <base> or redirect points.
    // `tidied`: the link was already resolved against its page (no site root to add).
    std::optional<ClassifiedLink> Classify(std::string_view linkAsWritten, std::string directory,
                                           bool tidied = false) const;

private:
    void ByExtension(std::string_view test, ClassifiedLink& result) const;
    void ByType(std::string_view test, ClassifiedLink& result) const;

    Context m_context;
};

} // namespace tamblin
