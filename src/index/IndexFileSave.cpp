// Writing index files: always format 2.1, coding 1, CR LF line ends, ids renumbered.
#include "index/DateText.h"
#include "index/IndexFile.h"
#include "index/TextUtils.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>

namespace tamblin {

namespace {

constexpr const char* kCrLf = "\r\n";

bool HasFieldBreak(const std::string& text) {
    return text.find_first_of(";\r\n") != std::string::npos;
}

bool StartsWithDigit(const std::string& text) {
    return !text.empty() && text[0] >= '0' && text[0] <= '9';
}

std::string RefusalText(const char* what, const std::string& name) {
    return std::string("The ") + what + " of '" + name +
           "' contains a semicolon or a line break, which an index file cannot hold. "
           "Please change it and save again.";
}

std::string UnwritableInEntry(const IndexEntry& entry) {
    for (const std::string* field : {&entry.m_url, &entry.m_title, &entry.m_targetFrame,
                                     &entry.m_iconUrl, &entry.m_pageTip}) {
        if (HasFieldBreak(*field)) {
            return RefusalText("URL", entry.m_title);
        }
    }
    if (entry.m_title.empty()) {
        return "The URL '" + entry.m_url +
               "' has no title, and an index file cannot hold a URL without one. "
               "Please give it a title and save again.";
    }
    for (const IndexKeyword& keyword : entry.m_keywords) {
        for (const std::string* field : {&keyword.m_phrase, &keyword.m_anchor,
                                         &keyword.m_extraTitle, &keyword.m_targetFrame}) {
            if (HasFieldBreak(*field)) {
                return RefusalText("index keyword", keyword.m_phrase);
            }
        }
    }
    return {};
}

std::string TemporaryNameBeside(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    return path + ".tmp" + IntToText(stamp % 1000000007) + "-" + IntToText(++counter);
}

} // namespace

// Finds the first text that the format cannot carry, before anything is written.
std::string IndexFile::FindUnwritableField() const {
    if (HasFieldBreak(m_description)) {
        return RefusalText("description", m_description);
    }
    if (HasFieldBreak(m_tipText)) {
        return RefusalText("tip text", m_description);
    }
    for (const auto& baseUrl : m_baseUrls) {
        if (HasFieldBreak(baseUrl->m_url) || HasFieldBreak(baseUrl->m_targetFrame)) {
            return RefusalText("base URL", baseUrl->m_url);
        }
    }
    std::vector<const IndexEntry*> stack;
    for (const auto& child : m_root.m_children) {
        stack.push_back(child.get());
    }
    while (!stack.empty()) {
        const IndexEntry* entry = stack.back();
        stack.pop_back();
        if (std::string problem = UnwritableInEntry(*entry); !problem.empty()) {
            return problem;
        }
        for (const auto& child : entry->m_children) {
            stack.push_back(child.get());
        }
    }
    for (const IndexEntry* holder : {&m_root, &m_otherKeywords}) {
        for (const IndexKeyword& keyword : holder->m_keywords) {
            if (HasFieldBreak(keyword.m_phrase) || HasFieldBreak(keyword.m_anchor) ||
                HasFieldBreak(keyword.m_extraTitle) || HasFieldBreak(keyword.m_targetFrame)) {
                return RefusalText("index keyword", keyword.m_phrase);
            }
        }
    }
    return {};
}

int IndexFile::Save(const std::string& path) {
    m_fileName = path;
    m_saveError.clear();
    if (path.empty()) {
        return 0;
    }
    m_saveError = FindUnwritableField();
    if (!m_saveError.empty()) {
        return 0;
    }
    m_formatMajor = 2;
    m_formatMinor = 1;
    m_coding = 1;
    std::string out;
    out.reserve(static_cast<size_t>(m_fileSize > 0 ? m_fileSize + 4096 : 4096));
    out += "XO0;2;1;1;Tamblin ";
    out += kProgramVersion;
    out += kCrLf;
    m_dateText = TodayRecordDate();
    out += "1;" + m_description + ";" + m_dateText + kCrLf;
    if (!m_tipText.empty()) {
        out += "6;0;" + m_tipText + kCrLf;
    }
    for (size_t i = 0; i < m_baseUrls.size(); ++i) {
        BaseUrl& baseUrl = *m_baseUrls[i];
        baseUrl.m_idText = IntToText(static_cast<long long>(i + 1));
        out += "3;" + baseUrl.m_idText + ";" + baseUrl.m_url + ";" + baseUrl.m_targetFrame + kCrLf;
    }
    m_entryCounter = 1;
    WriteEntries(out, "0");
    WriteKeywords(out, m_otherKeywords, true);
    if (!WriteFileReplacing(path, out)) {
        m_saveError = "Could not save file (" + path + ")";
        return 0;
    }
    m_fileSize = static_cast<long long>(out.size());
    m_changed = 0;
    return 1;
}

// Pre-order from the root: each entry's record 5, its page tip, its keywords, then its
// children, exactly as a recursive walk would write them.
void IndexFile::WriteEntries(std::string& out, const std::string& parentText) {
    WriteKeywords(out, m_root, false);
    struct Pending {
        IndexEntry* entry;
        const std::string* parentText;
    };
    std::vector<Pending> stack;
    for (auto it = m_root.m_children.rbegin(); it != m_root.m_children.rend(); ++it) {
        stack.push_back({it->get(), &parentText});
    }
    while (!stack.empty()) {
        auto [entry, parent] = stack.back();
        stack.pop_back();
        entry->m_idText = IntToText(m_entryCounter++);
        out += "5;" + entry->m_idText + ";" + (entry->m_baseUrl ? entry->m_baseUrl->m_idText : "") +
               ";" + entry->m_url + ";" + entry->m_title + ";" +
               (entry->m_ownTarget ? entry->m_targetFrame : "") + ";" +
               (entry->m_inContents ? *parent : "-1") + ";" + entry->m_iconUrl + kCrLf;
        if (!entry->m_pageTip.empty()) {
            out += "6;" + entry->m_idText + ";" + entry->m_pageTip + kCrLf;
        }
        WriteKeywords(out, *entry, false);
        for (auto it = entry->m_children.rbegin(); it != entry->m_children.rend(); ++it) {
            stack.push_back({it->get(), &entry->m_idText});
        }
    }
}

// A reference is used only where the text after it does not start with a digit: "&1" + "2"
// would read back as entry 12. Keywords of an entry that has no number (the root) are
// written in full, as the Other Index keywords are.
void IndexFile::WriteKeywords(std::string& out, const IndexEntry& entry, bool plain) const {
    for (const IndexKeyword& keyword : entry.m_keywords) {
        const std::string target = keyword.m_ownTarget ? keyword.m_targetFrame : std::string();
        const IndexEntry* owner = keyword.m_owner;
        if (plain || !owner || owner->m_idText.empty()) {
            out += "7;" + PlainKeywordField(keyword.m_phrase) + ";" +
                   PlainKeywordField(keyword.m_anchor) + ";" +
                   PlainKeywordField(keyword.m_extraTitle) + ";" + target + kCrLf;
            continue;
        }
        const std::string ref = "&" + owner->m_idText;
        std::string phrase = PlainKeywordField(keyword.m_phrase);
        if (keyword.m_phrase.compare(0, owner->m_title.size(), owner->m_title) == 0) {
            std::string rest = keyword.m_phrase.substr(owner->m_title.size());
            if (!StartsWithDigit(rest)) {
                phrase = ref + rest;
            }
        }
        std::string url = StartsWithDigit(keyword.m_anchor)
                              ? PlainKeywordField(owner->FullUrl() + keyword.m_anchor)
                              : ref + keyword.m_anchor;
        std::string title = StartsWithDigit(keyword.m_extraTitle)
                                ? PlainKeywordField(owner->m_title + keyword.m_extraTitle)
                                : ref + keyword.m_extraTitle;
        out += "7;" + phrase + ";" + url + ";" + title + ";" + target + kCrLf;
    }
}

bool IndexFile::WriteFileReplacing(const std::string& path, const std::string& bytes) {
    namespace fs = std::filesystem;
    const std::string temporary = TemporaryNameBeside(path);
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        if (!file.is_open()) {
            return false;
        }
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        file.flush();
        if (!file.good()) {
            file.close();
            std::error_code ignored;
            fs::remove(temporary, ignored);
            return false;
        }
    }
    std::error_code error;
    // Keep the old file's permissions on the replacement.
    fs::file_status old = fs::status(path, error);
    if (!error && fs::exists(old)) {
        fs::permissions(temporary, old.permissions(), error);
    }
    error.clear();
    fs::rename(temporary, path, error);
    if (error) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return false;
    }
    return true;
}

} // namespace tamblin
