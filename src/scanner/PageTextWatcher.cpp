#include "scanner/PageTextWatcher.h"

#include "fulltext/SearchIndexBuilder.h"
#include "index/TextCodec.h"
#include "index/TextUtils.h"
#include "scanner/HtmlText.h"

#include <algorithm>
#include <string_view>

namespace tamblin {

namespace {

// What a tag's name does to the text. Every tag of every page passes here, so the names are
// told apart by a switch on their length rather than by searching lists of them.
enum class TagKind { kBlock, kInline, kUnseen, kTitle, kBody, kHeading };

template <size_t N> bool OneOf(std::string_view name, const std::string_view (&names)[N]) {
    for (std::string_view candidate : names) {
        if (name == candidate) {
            return true;
        }
    }
    return false;
}

TagKind KindOfTag(std::string_view name) {
    static constexpr std::string_view kInline2[] = {"em", "tt"};
    static constexpr std::string_view kInline3[] = {"bdi", "bdo", "dfn", "kbd", "sub", "sup",
                                                    "var", "wbr", "big", "ins", "del"};
    static constexpr std::string_view kInline4[] = {"abbr", "cite", "code", "data", "mark",
                                                    "samp", "span", "time", "font", "nobr"};
    static constexpr std::string_view kInline5[] = {"small", "label"};
    static constexpr std::string_view kInline6[] = {"strong", "strike"};
    static constexpr std::string_view kUnseen[] = {"script",   "style", "noscript",
                                                   "template", "head",  "svg"};
    switch (name.size()) {
    case 1:
        return name == "a" || name == "b" || name == "i" || name == "q" || name == "s" ||
                       name == "u"
                   ? TagKind::kInline
                   : TagKind::kBlock;
    case 2:
        if (name[0] == 'h' && name[1] >= '1' && name[1] <= '6') {
            return TagKind::kHeading;
        }
        return OneOf(name, kInline2) ? TagKind::kInline : TagKind::kBlock;
    case 3:
        return name == "svg"           ? TagKind::kUnseen
               : OneOf(name, kInline3) ? TagKind::kInline
                                       : TagKind::kBlock;
    case 4:
        return name == "head"          ? TagKind::kUnseen
               : name == "body"        ? TagKind::kBody
               : OneOf(name, kInline4) ? TagKind::kInline
                                       : TagKind::kBlock;
    case 5:
        return name == "title"         ? TagKind::kTitle
               : name == "style"       ? TagKind::kUnseen
               : OneOf(name, kInline5) ? TagKind::kInline
                                       : TagKind::kBlock;
    case 6:
    case 8:
        return OneOf(name, kUnseen)    ? TagKind::kUnseen
               : OneOf(name, kInline6) ? TagKind::kInline
                                       : TagKind::kBlock;
    default:
        return TagKind::kBlock;
    }
}

bool IsVoid(std::string_view name) {
    static constexpr std::string_view kVoid[] = {"area",  "base",   "br",    "col",  "embed",
                                                 "hr",    "img",    "input", "link", "meta",
                                                 "param", "source", "track", "wbr"};
    return OneOf(name, kVoid);
}

// `name` spelled in any case is `lower`.
bool NameIs(std::string_view name, std::string_view lower) {
    if (name.size() != lower.size()) {
        return false;
    }
    for (size_t i = 0; i < name.size(); ++i) {
        char c = name[i];
        if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c) != lower[i]) {
            return false;
        }
    }
    return true;
}

bool HidingStyle(std::string value) {
    value = AsciiLower(value);
    std::erase_if(value, [](char c) { return c == ' ' || c == '\'' || c == '"'; });
    return value.find("display:none") != std::string::npos ||
           value.find("visibility:hidden") != std::string::npos;
}

} // namespace

void PageTextWatcher::StartPage(CharacterSet::Kind charset) {
    m_charset = charset;
    m_tag.clear();
    m_tagHides = m_inTitle = false;
    m_skipName.clear();
    m_skipDepth = m_unseen = m_headings = 0;
    m_title.clear();
}

int PageTextWatcher::OnTag(const std::string& name) {
    // Every tag passes here: lowered in place, without a new string each.
    m_tag.assign(name);
    for (char& c : m_tag) {
        c = c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
    }
    m_tagHides = m_inStyle = false;
    m_style.clear();
    bool end = !m_tag.empty() && m_tag[0] == '/';
    std::string_view bare = std::string_view(m_tag).substr(end ? 1 : 0);
    if (!m_skipName.empty()) {
        if (bare == m_skipName) {
            m_skipDepth += end ? -1 : 1;
            if (m_skipDepth == 0) {
                m_skipName.clear();
            }
        }
        return kPlainText;
    }
    TagKind kind = KindOfTag(bare);
    switch (kind) {
    case TagKind::kTitle:
        if (end && m_inTitle) {
            m_words.SetTitle(HtmlText::Decode(TrimSpaces(m_title), m_charset, false));
        }
        m_inTitle = !end;
        m_title.clear();
        break;
    case TagKind::kUnseen:
        // An end tag without its start (a page without <head>) does not go below nothing.
        m_unseen = std::max(0, m_unseen + (end ? -1 : 1));
        if (end && bare == "head") {
            m_unseen = 0;
        }
        break;
    case TagKind::kBody:
        m_unseen = 0;
        break;
    case TagKind::kHeading:
        m_headings = std::max(0, m_headings + (end ? -1 : 1));
        break;
    default:
        break;
    }
    if (kind != TagKind::kInline) {
        m_words.Break();
    }
    return kPlainText;
}

void PageTextWatcher::OnAttribute(const std::string& name, const std::string& value) {
    if (m_tag.empty() || m_tag[0] == '/') {
        return;
    }
    // The tag reader knows only double quotes: the rest of a style in single quotes comes as
    // further attributes of the tag.
    if (m_inStyle) {
        m_style += ' ' + name + value;
    }
    if (NameIs(name, "style")) {
        m_inStyle = true;
        m_style = value;
    }
    if (NameIs(name, "hidden") ||
        (NameIs(name, "aria-hidden") && NameIs(TrimSpaces(value), "true"))) {
        m_tagHides = true;
    }
}

void PageTextWatcher::OnTagEnd() {
    if (m_inStyle && HidingStyle(m_style)) {
        m_tagHides = true;
    }
    m_inStyle = false;
    m_style.clear();
    if (m_tagHides && m_skipName.empty() && !IsVoid(m_tag)) {
        m_skipName = m_tag;
        m_skipDepth = 1;
    }
    m_tagHides = false;
}

void PageTextWatcher::OnText(const std::string& text) {
    if (m_inTitle) {
        m_title += text;
        return;
    }
    if (Hidden()) {
        return;
    }
    auto role =
        m_headings > 0 ? SearchIndexBuilder::Role::kHeading : SearchIndexBuilder::Role::kBody;
    // Most text is UTF-8 without a reference: it goes in as it is, without the two copies
    // decoding makes of every text of every page.
    if (m_charset == CharacterSet::kUtf8 && text.find('&') == std::string::npos &&
        IsValidUtf8(text, Utf8Rule::Strict)) {
        m_words.AddText(text, role);
        return;
    }
    m_words.AddText(HtmlText::Decode(text, m_charset, false), role);
}

} // namespace tamblin
