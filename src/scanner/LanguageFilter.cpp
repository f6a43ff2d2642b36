#include "scanner/LanguageFilter.h"

namespace tamblin {

namespace {

// BCP 47's primary language subtag is 2 to 8 letters; "i" and "x" start grandfathered and
// private tags, which name no language to compare.
constexpr size_t kMinPrimary = 2;
constexpr size_t kMaxPrimary = 8;

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

} // namespace

std::string LanguageFilter::PrimaryTag(std::string_view declared) {
    while (!declared.empty() && IsSpace(declared.front())) {
        declared.remove_prefix(1);
    }
    while (!declared.empty() && IsSpace(declared.back())) {
        declared.remove_suffix(1);
    }
    if (declared.find(',') != std::string_view::npos) {
        return "";
    }
    std::string primary;
    for (char c : declared.substr(0, declared.find_first_of("-_"))) {
        bool upper = c >= 'A' && c <= 'Z';
        if (!upper && !(c >= 'a' && c <= 'z')) {
            return "";
        }
        primary += upper ? static_cast<char>(c - 'A' + 'a') : c;
    }
    if (primary.size() < kMinPrimary || primary.size() > kMaxPrimary || primary == "und") {
        return "";
    }
    return primary;
}

void LanguageFilter::Reset() {
    m_start.clear();
    m_notFollowed.clear();
}

bool LanguageFilter::Follows(const std::string& primary) const {
    return m_start.empty() || primary.empty() || primary == m_start;
}

void LanguageFilter::NotFollowed(std::string url, std::string primary) {
    m_notFollowed.emplace_back(std::move(url), std::move(primary));
}

std::string LanguageFilter::ReportText() const {
    if (m_notFollowed.empty()) {
        return "";
    }
    std::string text = std::to_string(m_notFollowed.size()) +
                       " pages in another language than the start page's (" + m_start +
                       ") were not followed:\r\n";
    for (const auto& [url, language] : m_notFollowed) {
        text += "\r\n" + url + " (" + language + ")";
    }
    return text;
}

} // namespace tamblin
