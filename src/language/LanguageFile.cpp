#include "language/LanguageFile.h"

#include "index/CompanionScript.h"
#include "index/FileReplace.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace tamblin {

namespace {

constexpr const char* kCrLf = "\r\n";

bool HasLineBreak(const std::string& text) {
    return text.find_first_of("\r\n") != std::string::npos;
}

std::string UnwritableText(const std::string& what, const std::string& text) {
    if (text.empty()) {
        return "The " + what + " is empty, and a language file cannot hold an empty line.";
    }
    if (HasLineBreak(text)) {
        return "The " + what + " contains a line break, which a language file cannot hold.";
    }
    return {};
}

} // namespace

const std::array<const char*, LanguageFile::kTextCount> LanguageFile::kLabels = {
    "Index Look for prompt",
    "Index Keywords prompt",
    "Index Pages prompt",
    "Contents tab name",
    "Index tab name",
    "Select tab name",
    "About tab name",
    "Exit button label",
    "Display page button label",
    "Select index (language)",
    "About Navora...",
    "Navora information...",
    "Reading help index",
    "Index read",
    "Click to see help index",
    "Reading index file...",
    "Sorry, cannot do lookup as index not read",
    "Displaying page",
    "Could not display page",
};

// The three prompts end in a space: the applet puts its field right after them.
const std::array<const char*, LanguageFile::kTextCount> LanguageFile::kDefaults = {
    "Look for: ",
    "Keywords: ",
    "Pages: ",
    "Contents",
    "Index",
    "Select",
    "About",
    "Exit",
    "Display page",
    "Select index (language)",
    "About Navora...",
    "Navora information...",
    "Reading help index",
    "Index read",
    "Click to see help index",
    "Reading index file...",
    "Sorry, cannot do lookup as index not read",
    "Displaying page",
    "Could not display page",
};

LanguageFile::LanguageFile() {
    SetDefaults();
}

// The same texts, in the same order, as the script viewer's defaults (navora-web-language.js).
const std::array<const char*, LanguageFile::kViewerTextCount> LanguageFile::kViewerDefaults = {
    "No keyword begins with \"%1\"",
    "No keyword begins with or contains \"%1\"",
    "The index file could not be read",
    "The index has no entries",
    "1 line of the index file could not be read and was skipped",
    "%1 lines of the index file could not be read and were skipped",
    "Index file",
    "Description",
    "Date",
    "Tip",
    "Entries",
    "Keywords",
    "Language",
    "Viewer",
    "Navora for browsers without Java",
    "Link",
    "The address of this page names the open tab and the entry or keyword shown: copy it to "
    "link to them.",
    "Search",
    "Search the words of the pages",
    "No pages found",
    "%1 pages found",
    "%1 page found",
};

void LanguageFile::SetDefaults() {
    m_existed = false;
    m_formatChanged = false;
    m_format = kLanguageFormat;
    m_description.clear();
    m_texts.assign(kDefaults.begin(), kDefaults.end());
    m_viewerTexts.assign(kViewerDefaults.begin(), kViewerDefaults.end());
    m_viewerTextsRead = 0;
}

void LanguageFile::Read(const std::string& path) {
    SetDefaults();
    m_path = path;
    m_readFailed = false;
    if (path.empty()) {
        return;
    }
    std::error_code error;
    bool present = std::filesystem::exists(path, error);
    std::ifstream file(path, std::ios::binary);
    if (!file.is_open() || (present && !std::filesystem::is_regular_file(path, error))) {
        m_readFailed = present;
        return;
    }
    std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    m_existed = true;
    Parse(bytes);
}

void LanguageFile::Parse(std::string_view bytes) {
    std::string format;
    m_description.clear();
    m_texts.assign(kTextCount, std::string());
    m_viewerTexts.assign(kViewerDefaults.begin(), kViewerDefaults.end());
    int field = 0; // 0 the format, 1 the description, then the texts, then the viewer's
    size_t start = 0;
    while (start < bytes.size() && field < kTextCount + kViewerTextCount + 2) {
        size_t end = bytes.find('\n', start);
        size_t next = end == std::string_view::npos ? bytes.size() : end + 1;
        std::string_view line = bytes.substr(start, next - start);
        if (!line.empty() && line.back() == '\n') {
            line.remove_suffix(1);
        }
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        start = next;
        if (line.empty()) {
            continue;
        }
        std::string& target = field == 0   ? format
                              : field == 1 ? m_description
                              : field < kTextCount + 2
                                  ? m_texts[static_cast<size_t>(field - 2)]
                                  : m_viewerTexts[static_cast<size_t>(field - kTextCount - 2)];
        target.assign(line);
        ++field;
    }
    m_viewerTextsRead = static_cast<size_t>(std::max(0, field - kTextCount - 2));
    m_formatChanged = format != kLanguageFormat;
    m_format = kLanguageFormat;
}

std::string LanguageFile::Bytes() const {
    std::string out = m_format + kCrLf + m_description + kCrLf;
    for (const std::string& text : m_texts) {
        out += text + kCrLf;
    }
    for (size_t i = 0; i < ViewerTextsToWrite(); ++i) {
        out += m_viewerTexts[i] + kCrLf;
    }
    return out;
}

size_t LanguageFile::ViewerTextsToWrite() const {
    size_t count = std::min(m_viewerTextsRead, m_viewerTexts.size());
    for (size_t i = count; i < m_viewerTexts.size() && i < kViewerDefaults.size(); ++i) {
        if (m_viewerTexts[i] != kViewerDefaults[i]) {
            count = i + 1;
        }
    }
    return count;
}

std::string LanguageFile::FindUnwritableField() const {
    if (m_format != kLanguageFormat) {
        return std::string("The format must be \"") + kLanguageFormat + "\".";
    }
    if (m_texts.size() != kTextCount) {
        return "A language file holds exactly " + std::to_string(kTextCount) + " texts.";
    }
    if (m_viewerTexts.size() != kViewerTextCount) {
        return "A language file holds exactly " + std::to_string(kViewerTextCount) +
               " texts of the script viewer.";
    }
    std::string reason = UnwritableText("description", m_description);
    for (size_t i = 0; reason.empty() && i < m_texts.size(); ++i) {
        reason = UnwritableText(std::string("text \"") + kLabels[i] + "\"", m_texts[i]);
    }
    for (size_t i = 0; reason.empty() && i < ViewerTextsToWrite(); ++i) {
        reason = UnwritableText(std::string("viewer text \"") + kViewerDefaults[i] + "\"",
                                m_viewerTexts[i]);
    }
    return reason;
}

SaveResult LanguageFile::Write(const std::string& path, ReplaceOptions options) {
    m_companionStale = false;
    if (path.empty() || !FindUnwritableField().empty()) {
        return SaveResult::Failure(0);
    }
    SaveResult result = WriteFileReplacing(path, Bytes(), options);
    if (result.Ok()) {
        m_companionStale = !RefreshCompanion(path);
    }
    return result;
}

} // namespace tamblin
