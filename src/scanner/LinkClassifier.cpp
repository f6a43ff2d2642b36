#include "scanner/LinkClassifier.h"

#include "index/TextUtils.h"
#include "index/UrlUtils.h"

namespace tamblin {

std::optional<ClassifiedLink> LinkClassifier::Classify(std::string_view linkAsWritten,
                                                       std::string directory, bool tidied) const {
    ClassifiedLink result;
    result.link = std::string(TrimWhite(linkAsWritten));
    std::string& link = result.link;
    std::string test = AsciiLower(link.substr(0, link.find('#')));
    if (test.empty()) {
        return std::nullopt;
    }
    // A tidied link is already absolute or relative to the base: no site root to add.
    if (link[0] == '/' && !tidied) {
        directory.clear();
        link.erase(0, 1);
        test.erase(0, 1);
        if (!m_context.fromUrl && link.empty()) {
            return std::nullopt;
        }
        if (m_context.siteRoot) {
            link = *m_context.siteRoot + link;
            test = *m_context.siteRoot + test;
        }
    } else {
        result.absolute = IsAbsoluteUrl(test) != 0;
        // A <base> or a redirect elsewhere makes every relative link point off the site.
        if (!result.absolute && IsAbsoluteUrl(directory)) {
            link = directory + link;
            directory.clear();
            result.absolute = true;
        }
    }
    result.directory = std::move(directory);
    result.page = m_context.fromUrl && (test.empty() || test.back() == '/');
    if (m_context.pagesByType) {
        ByType(test, result);
    } else {
        ByExtension(test, result);
    }
    return result;
}

// The rules of old: the last dot of the whole link decides.
void LinkClassifier::ByExtension(std::string_view test, ClassifiedLink& result) const {
    if (size_t dot = test.rfind('.'); dot != std::string_view::npos) {
        std::string_view extension = test.substr(dot);
        result.page = result.page || extension == ".htm" || extension == ".html";
        result.image = extension == ".gif" || extension == ".jpg";
    }
}

// The name's own extension, without the query, decides; addresses of server programs and
// names without an extension are asked about.
void LinkClassifier::ByType(std::string_view test, ClassifiedLink& result) const {
    size_t queryAt = test.find('?');
    std::string_view path = test.substr(0, queryAt);
    std::string_view name = path.substr(path.rfind('/') + 1);
    size_t dot = name.rfind('.');
    std::string_view extension = dot == std::string_view::npos ? "" : name.substr(dot);
    bool fromUrl = m_context.fromUrl;
    result.page = (fromUrl && (path.empty() || path.back() == '/')) || extension == ".htm" ||
                  extension == ".html" || extension == ".xhtml" || extension == ".shtml";
    result.image = extension == ".gif" || extension == ".jpg";
    if (!fromUrl && queryAt != std::string_view::npos) {
        // A file has no query.
        result.link.erase(result.link.find('?'));
    } else if (fromUrl && !result.page && !result.image) {
        result.probe = queryAt != std::string_view::npos || extension.empty();
        for (std::string_view server : {".php", ".asp", ".aspx", ".jsp", ".cgi"}) {
            result.probe = result.probe || extension == server;
        }
    }
}

} // namespace tamblin
