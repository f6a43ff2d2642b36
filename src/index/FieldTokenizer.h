#pragma once

#include <bitset>
#include <string>
#include <string_view>

namespace tamblin {

// Splits a record into fields. Consecutive separators give empty fields, but a separator at
// the very end gives no further field: index files rely on "a;" having one field.
class FieldTokenizer {
public:
    FieldTokenizer(std::string_view text, std::string_view separators, bool trim);

    bool HasMoreFields();
    // Throws ParseError(kTooManyTokens) when no field is left.
    std::string NextField();
    // The same field as a view into the text, for fields that are only looked at.
    std::string_view NextFieldView();

private:
    void SkipPendingSeparator();
    bool IsSeparator(char c) const;

    std::string_view m_text;
    std::bitset<256> m_separators;
    bool m_trim;
    size_t m_position = 0;
    bool m_atFieldStart = true;
};

} // namespace tamblin
