#include "language/LanguageFile.h"

#include "index/FileReplace.h"

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

void LanguageFile::SetDefaults() {
    m_existed = false;
    m_formatChanged = false;
    m_format = kLanguageFormat;
    m_description.clear();
    m_texts.assign(kDefaults.begin(), kDefaults.end());
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
    int field = 0; // 0 the format, 1 the description, then the texts
    size_t start = 0;
    while (start < bytes.size() && field < kTextCount + 2) {
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
                                           : m_texts[static_cast<size_t>(field - 2)];
        target.assign(line);
        ++field;
    }
    m_formatChanged = format != kLanguageFormat;
    m_format = kLanguageFormat;
}

std::string LanguageFile::Bytes() const {
    std::string out = m_format + kCrLf + m_description + kCrLf;
    for (const std::string& text : m_texts) {
        out += text + kCrLf;
    }
    return out;
}

std::string LanguageFile::FindUnwritableField() const {
    if (m_format != kLanguageFormat) {
        return std::string("The format must be \"") + kLanguageFormat + "\".";
    }
    if (m_texts.size() != kTextCount) {
        return "A language file holds exactly " + std::to_string(kTextCount) + " texts.";
    }
    std::string reason = UnwritableText("description", m_description);
    for (size_t i = 0; reason.empty() && i < m_texts.size(); ++i) {
        reason = UnwritableText(std::string("text \"") + kLabels[i] + "\"", m_texts[i]);
    }
    return reason;
}

SaveResult LanguageFile::Write(const std::string& path, ReplaceOptions options) const {
    if (path.empty() || !FindUnwritableField().empty()) {
        return SaveResult::Failure(0);
    }
    return WriteFileReplacing(path, Bytes(), options);
}

} // namespace tamblin
