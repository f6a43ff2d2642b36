#include "index/FieldTokenizer.h"

#include "index/ParseError.h"
#include "index/TextUtils.h"

namespace tamblin {

FieldTokenizer::FieldTokenizer(std::string_view text, std::string_view separators, bool trim)
    : m_text(text), m_trim(trim) {
    for (char c : separators) {
        m_separators.set(static_cast<unsigned char>(c));
    }
}

bool FieldTokenizer::IsSeparator(char c) const {
    return m_separators.test(static_cast<unsigned char>(c));
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
    return std::string(NextFieldView());
}

std::string_view FieldTokenizer::NextFieldView() {
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
    return m_trim ? TrimSpaces(field) : field;
}

} // namespace tamblin
