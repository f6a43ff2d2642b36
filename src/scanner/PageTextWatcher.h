#pragma once

#include "scanner/CharacterSet.h"
#include "scanner/TagHandler.h"

#include <string>

namespace tamblin {

class SearchIndexBuilder;

// Watches a page as the tag reader reads it and hands the text a reader sees to the search
// index: not what is in script, style, noscript, template, the head (the title is the page's
// own), nor elements hidden from readers (hidden, aria-hidden="true", display:none), with
// headings marked; decoded as titles are. Blocks keep their words apart, inline elements
// (a, b, span...) do not.
class PageTextWatcher final : public TagHandler {
public:
    explicit PageTextWatcher(SearchIndexBuilder& words) : m_words(words) {}

    // Forgets the page before.
    void StartPage(CharacterSet::Kind charset);

    int OnTag(const std::string& name) override;
    void OnTagEnd() override;
    void OnAttribute(const std::string& name, const std::string& value) override;
    void OnCollectedText(const std::string&) override {}
    void OnText(const std::string& text) override;

private:
    bool Hidden() const { return !m_skipName.empty() || m_inTitle || m_unseen > 0; }

    SearchIndexBuilder& m_words;
    CharacterSet::Kind m_charset = CharacterSet::kUtf8;
    std::string m_tag;       // the start tag being read
    bool m_tagHides = false; // its attributes hide it
    bool m_inStyle = false;  // its style attribute is being read
    std::string m_style;
    std::string m_skipName; // the hidden element being skipped
    int m_skipDepth = 0;
    int m_unseen = 0; // inside script, style, head and the like
    int m_headings = 0;
    bool m_inTitle = false;
    std::string m_title;
};

} // namespace tamblin
