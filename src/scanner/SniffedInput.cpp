#include "scanner/SniffedInput.h"

#include <algorithm>
#include <cstring>

namespace tamblin {

SniffedInput::SniffedInput(PageInput& inner, std::string_view contentType) : m_inner(inner) {
    Fill(kPrescanBytes);
    if (m_head.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        m_position = 3;
        return;
    }
    bool little = m_head.compare(0, 2, "\xFF\xFE") == 0;
    if (little || m_head.compare(0, 2, "\xFE\xFF") == 0) {
        Fill(kJudgedBytes);
        m_head = CharacterSet::Utf16ToUtf8(std::string_view(m_head).substr(2), !little);
        return;
    }
    for (const std::string& label :
         {CharacterSet::LabelOfContentType(contentType), MetaCharset(m_head)}) {
        if (label.empty()) {
            continue;
        }
        CharacterSet::Kind kind = CharacterSet::FromLabel(label);
        if (kind != CharacterSet::kUnknown) {
            m_charset = kind;
            return;
        }
        if (m_unknownLabel.empty()) {
            m_unknownLabel = label;
        }
    }
    Fill(kJudgedBytes);
    m_charset = CharacterSet::IsUtf8(m_head) ? CharacterSet::kUtf8 : CharacterSet::kWindows1252;
}

void SniffedInput::Fill(size_t upTo) {
    char block[16 * 1024];
    while (!m_ended && m_head.size() < upTo) {
        size_t count = 0;
        try {
            count = m_inner.Read(block, std::min(sizeof block, upTo - m_head.size()));
        } catch (...) {
            count = 0;
        }
        if (count == 0) {
            m_ended = true;
        }
        m_head.append(block, count);
    }
}

size_t SniffedInput::Read(char* buffer, size_t size) {
    size_t copied = 0;
    if (m_position < m_head.size()) {
        copied = std::min(size, m_head.size() - m_position);
        std::memcpy(buffer, m_head.data() + m_position, copied);
        m_position += copied;
    }
    if (copied < size && !m_ended) {
        copied += m_inner.Read(buffer + copied, size - copied);
    }
    return copied;
}

// <meta charset="..."> or <meta http-equiv="Content-Type" content="...; charset=...">.
std::string SniffedInput::MetaCharset(std::string_view head) {
    std::string lower(head);
    for (char& c : lower) {
        c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
    }
    for (size_t at = lower.find("<meta"); at != std::string::npos;
         at = lower.find("<meta", at + 5)) {
        size_t end = lower.find('>', at);
        std::string_view tag = std::string_view(lower).substr(
            at, end == std::string::npos ? std::string::npos : end - at);
        std::string label = CharacterSet::LabelOfContentType(tag);
        if (!label.empty()) {
            return label;
        }
    }
    return "";
}

} // namespace tamblin
