#include "scanner/PageTextWatcher.h"

#include "fulltext/SearchIndexBuilder.h"
#include "index/TextUtils.h"
#include "scanner/HtmlText.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace tamblin {

namespace {

constexpr std::array<std::string_view, 6> kUnseen = {"script",   "style", "noscript",
                                                     "template", "head",  "svg"};
constexpr std::array<std::string_view, 33> kInline = {
    "a",   "abbr", "b",   "bdi",  "bdo",  "cite",  "code",   "data",   "dfn", "em",    "i",
    "kbd", "mark", "q",   "s",    "samp", "small", "span",   "strong", "sub", "sup",   "time",
    "u",   "var",  "wbr", "font", "big",  "tt",    "strike", "ins",    "del", "label", "nobr"};
constexpr std::array<std::string_view, 14> kVoid = {"area",  "base",   "br",    "col",  "embed",
                                                    "hr",    "img",    "input", "link", "meta",
                                                    "param", "source", "track", "wbr"};

template <size_t N> bool In(const std::array<std::string_view, N>& list, std::string_view name) {
    return std::find(list.begin(), list.end(), name) != list.end();
}

bool IsHeadingName(std::string_view name) {
    return name.size() == 2 && name[0] == 'h' && name[1] >= '1' && name[1] <= '6';
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
    if (bare == "title") {
        if (end && m_inTitle) {
            m_words.SetTitle(HtmlText::Decode(TrimSpaces(m_title), m_charset, false));
        }
        m_inTitle = !end;
        m_title.clear();
    } else if (In(kUnseen, bare)) {
        // An end tag without its start (a page without <head>) does not go below nothing.
        m_unseen = std::max(0, m_unseen + (end ? -1 : 1));
        if (bare == "head" && end) {
            m_unseen = 0;
        }
    } else if (bare == "body") {
        m_unseen = 0;
    } else if (IsHeadingName(bare)) {
        m_headings = std::max(0, m_headings + (end ? -1 : 1));
    }
    if (!In(kInline, bare)) {
        m_words.Break();
    }
    return kPlainText;
}

void PageTextWatcher::OnAttribute(const std::string& name, const std::string& value) {
    if (m_tag.empty() || m_tag[0] == '/') {
        return;
    }
    std::string attribute = AsciiLower(name);
    // The tag reader knows only double quotes: the rest of a style in single quotes comes as
    // further attributes of the tag.
    if (m_inStyle) {
        m_style += ' ' + name + value;
    }
    if (attribute == "style") {
        m_inStyle = true;
        m_style = value;
    }
    if (attribute == "hidden" ||
        (attribute == "aria-hidden" && AsciiLower(std::string(TrimSpaces(value))) == "true")) {
        m_tagHides = true;
    }
}

void PageTextWatcher::OnTagEnd() {
    if (m_inStyle && HidingStyle(m_style)) {
        m_tagHides = true;
    }
    m_inStyle = false;
    m_style.clear();
    if (m_tagHides && m_skipName.empty() && !In(kVoid, m_tag)) {
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
    m_words.AddText(HtmlText::Decode(text, m_charset, false),
                    m_headings > 0 ? SearchIndexBuilder::Role::kHeading
                                   : SearchIndexBuilder::Role::kBody);
}

} // namespace tamblin
