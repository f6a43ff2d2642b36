#include "index/FieldTokenizer.h"

#include "index/ParseError.h"
#include "index/TextUtils.h"

namespace tamblin {

FieldTokenizer::FieldTokenizer(std::string_view text, std::string_view separators, bool trim)
    : m_text(text), m_separators(separators), m_trim(trim) {}

bool FieldTokenizer::IsSeparator(char c) const {
    return m_separators.find(c) != std::string::npos;
}

void FieldTokenizer::SkipPendingSeparator() {
    if (!m_atFieldStart && m_position < m_text.size() && IsSeparator(m_text[m_position])) {
        ++m_position;
        m_atFieldStart = true;
    }
}

bool FieldTokenizer::HasMoreFields() {
    SkipPendingSeparator();
    return m_position < m_text.size();
}

std::string FieldTokenizer::NextField() {
    SkipPendingSeparator();
    if (m_position >= m_text.size()) {
        throw ParseError(kTooManyTokens);
    }
    size_t end = m_position;
    while (end < m_text.size() && !IsSeparator(m_text[end])) {
        ++end;
    }
    std::string_view field = m_text.substr(m_position, end - m_position);
    m_position = end;
    m_atFieldStart = false;
    return std::string(m_trim ? TrimSpaces(field) : field);
}

} // namespace tamblin
