#include "helpviewer/RequestDecoder.h"

#include <algorithm>

namespace tamblin {

namespace {

uint32_t ReadUint32(const std::string& bytes, size_t offset) {
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i) {
        value |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[offset + i])) << (8 * i);
    }
    return value;
}

} // namespace

size_t RequestDecoder::Feed(std::string_view bytes) {
    size_t used = 0;
    while (!m_broken && !m_ready && used < bytes.size()) {
        if (!m_haveHeader) {
            size_t n = std::min(kRequestHeaderSize - m_header.size(), bytes.size() - used);
            m_header.append(bytes.substr(used, n));
            used += n;
            if (m_header.size() == kRequestHeaderSize) {
                CompleteHeader();
            }
            continue;
        }
        size_t n = std::min<size_t>(m_expected - m_text.size(), bytes.size() - used);
        m_text.append(bytes.substr(used, n));
        used += n;
        if (m_text.size() == m_expected) {
            CompleteText();
        }
    }
    return used;
}

void RequestDecoder::CompleteHeader() {
    m_code = ReadUint32(m_header, 0);
    m_expected = ReadUint32(m_header, 4);
    m_header.clear();
    if (m_expected > kMaxRequestBytes) {
        m_broken = true;
        return;
    }
    m_haveHeader = true;
    if (m_expected == 0) {
        CompleteText();
    }
}

void RequestDecoder::CompleteText() {
    m_haveHeader = false;
    if (m_expected > 0 && m_text.back() != '\0') {
        m_broken = true;
        return;
    }
    // A zero inside the text ends it, as it would for the receiver of a C string.
    size_t end = m_text.find('\0');
    m_ready = HelpRequest{m_code, m_text.substr(0, end)};
    m_text.clear();
}

std::optional<HelpRequest> RequestDecoder::Take() {
    std::optional<HelpRequest> result = std::move(m_ready);
    m_ready.reset();
    return result;
}

} // namespace tamblin
