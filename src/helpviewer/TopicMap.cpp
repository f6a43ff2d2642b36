#include "helpviewer/TopicMap.h"

#include "helpviewer/HelpFileRead.h"
#include "index/TextUtils.h"

namespace tamblin {

namespace {

// The next space-separated word from position; tabs belong to words.
std::string_view NextWord(std::string_view text, size_t& position) {
    while (position < text.size() && text[position] == ' ') {
        ++position;
    }
    size_t start = position;
    while (position < text.size() && text[position] != ' ') {
        ++position;
    }
    return text.substr(start, position - start);
}

} // namespace

uint32_t ParseCNumber(std::string_view text) {
    unsigned base = 10;
    if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    } else if (!text.empty() && text[0] == '0') {
        base = 8;
    }
    uint32_t value = 0;
    for (char c : text) {
        int digit = HexDigitValue(c);
        if (digit < 0 || digit >= static_cast<int>(base)) {
            break;
        }
        value = value * base + static_cast<uint32_t>(digit); // wraps as unsigned arithmetic
    }
    return value;
}

void TopicMap::ReadLine(std::string_view line) {
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    if (line.empty() || (line[0] != 'H' && line[0] != 'A')) {
        return;
    }
    if (line[0] == 'H') {
        line.remove_prefix(1);
    }
    size_t position = 0;
    std::string_view name = NextWord(line, position);
    std::string_view id = NextWord(line, position);
    if (name.empty() || id.empty()) {
        return;
    }
    uint32_t value = ParseCNumber(id);
    if (value != 0) {
        Add(value, std::string(name));
    }
}

bool TopicMap::Load(const std::string& path) {
    std::string bytes;
    if (ReadHelpFile(path, bytes) != HelpFileStatus::kRead) {
        return false;
    }
    std::string_view rest(bytes);
    while (!rest.empty()) {
        size_t end = rest.find('\n');
        ReadLine(rest.substr(0, end));
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    }
    return true;
}

void TopicMap::Add(uint32_t id, std::string name) {
    m_names[id] = std::move(name);
    m_indexValid = false;
}

void TopicMap::Clear() {
    m_names.clear();
    m_idsByName.clear();
    m_indexValid = false;
}

const std::string* TopicMap::NameFor(uint32_t id) const {
    auto it = m_names.find(id);
    return it == m_names.end() ? nullptr : &it->second;
}

std::optional<uint32_t> TopicMap::IdFor(std::string_view name) const {
    if (!m_indexValid) {
        m_idsByName.clear();
        for (const auto& [id, topic] : m_names) {
            m_idsByName.emplace(AsciiLower(topic), id);
        }
        m_indexValid = true;
    }
    auto it = m_idsByName.find(AsciiLower(name));
    if (it == m_idsByName.end()) {
        return std::nullopt;
    }
    return it->second;
}

} // namespace tamblin
