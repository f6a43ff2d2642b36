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
        m_position = 2;
        Use(little ? WebEncoding::kUtf16Le : WebEncoding::kUtf16Be);
        return;
    }
    std::string header = CharacterSet::LabelOfContentType(contentType);
    if (auto encoding = WebEncoding::FromLabel(header)) {
        Use(*encoding);
        return;
    }
    std::string meta = MetaCharset(m_head);
    if (auto encoding = WebEncoding::FromLabel(meta)) {
        // A meta tag was read as ASCII to be found, so it cannot mean UTF-16; and browsers
        // read x-user-defined declared there as Windows-1252.
        if (*encoding == WebEncoding::kUtf16Be || *encoding == WebEncoding::kUtf16Le) {
            encoding = WebEncoding::kUtf8;
        } else if (*encoding == WebEncoding::kUserDefined) {
            encoding = WebEncoding::kWindows1252;
        }
        Use(*encoding);
        return;
    }
    m_unknownLabel = header.empty() ? meta : header;
    Fill(kJudgedBytes);
    m_charset = CharacterSet::IsUtf8(m_head) ? CharacterSet::kUtf8 : CharacterSet::kWindows1252;
    m_encoding = m_charset == CharacterSet::kUtf8 ? WebEncoding::kUtf8 : WebEncoding::kWindows1252;
}

void SniffedInput::Use(WebEncoding::Kind encoding) {
    m_encoding = encoding;
    if (encoding == WebEncoding::kWindows1252) {
        m_charset = CharacterSet::kWindows1252;
    } else if (encoding != WebEncoding::kUtf8) {
        m_decoder.emplace(encoding);
    }
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
    if (m_decoder) {
        return ReadDecoded(buffer, size);
    }
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

size_t SniffedInput::ReadDecoded(char* buffer, size_t size) {
    constexpr size_t kStep = 16 * 1024;
    while (m_decoded.size() - m_decodedPosition < size && !m_decodedAll) {
        std::string raw;
        if (m_position < m_head.size()) {
            raw = m_head.substr(m_position);
            m_position = m_head.size();
        } else if (!m_ended) {
            raw.resize(kStep);
            size_t count = 0;
            try {
                count = m_inner.Read(raw.data(), kStep);
            } catch (...) {
                count = 0;
            }
            raw.resize(count);
            m_ended = count < kStep;
        }
        m_decoded.erase(0, m_decodedPosition);
        m_decodedPosition = 0;
        m_decodedAll = m_ended && m_position >= m_head.size();
        m_decoder->Decode(raw, m_decodedAll, m_decoded);
    }
    size_t count = std::min(size, m_decoded.size() - m_decodedPosition);
    std::memcpy(buffer, m_decoded.data() + m_decodedPosition, count);
    m_decodedPosition += count;
    return count;
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
