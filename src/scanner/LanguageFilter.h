#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tamblin {

// Keeps a scan to the language of its start page: a page that declares another language
// is not followed and is listed in the report. Languages compare by their primary subtag,
// so "en" and "en-US" are one; a page that declares none is followed, and so is every page
// when the start page declares none.
class LanguageFilter final {
public:
    // The primary subtag of a language tag or a Content-Language value, in lower case; ""
    // when it names no one language ("", "und", "*", "en, de", a tag that is no tag).
    static std::string PrimaryTag(std::string_view declared);

    void Reset();
    // The start page's language (a primary subtag, or "").
    void SetStart(std::string primary) { m_start = std::move(primary); }
    const std::string& Start() const { return m_start; }
    bool Follows(const std::string& primary) const;
    void NotFollowed(std::string url, std::string primary);
    size_t NotFollowedCount() const { return m_notFollowed.size(); }
    // The report's paragraph on the pages not followed, or "" when there were none.
    std::string ReportText() const;

private:
    std::string m_start;
    std::vector<std::pair<std::string, std::string>> m_notFollowed; // url, language
};

} // namespace tamblin
