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
    constexpr size_t kStep = 16 * 1024;
    while (!m_ended && m_head.size() < upTo) {
        size_t had = m_head.size();
        size_t want = std::min(kStep, upTo - had);
        m_head.resize(had + want);
        size_t count = 0;
        try {
            count = m_inner.Read(m_head.data() + had, want);
        } catch (...) {
            count = 0;
        }
        m_head.resize(had + count);
        if (count < want) {
            // Inputs fill all they are asked for while anything is left.
            m_ended = true;
        }
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
    auto isMeta = [&](size_t at) {
        static constexpr std::string_view kMeta = "meta";
        if (at + 5 > head.size()) {
            return false;
        }
        for (size_t k = 0; k < kMeta.size(); ++k) {
            char c = head[at + 1 + k];
            if ((c >= 'A' && c <= 'Z' ? c + 32 : c) != kMeta[k]) {
                return false;
            }
        }
        return true;
    };
    for (size_t at = head.find('<'); at != std::string_view::npos; at = head.find('<', at + 1)) {
        if (!isMeta(at)) {
            continue;
        }
        size_t end = head.find('>', at);
        std::string_view tag =
            head.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at);
        std::string label = CharacterSet::LabelOfContentType(tag);
        if (!label.empty()) {
            return label;
        }
    }
    return "";
}

} // namespace tamblin
