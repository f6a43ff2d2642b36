#pragma once

#include <QString>

#include <string>
#include <vector>

namespace tamblin {

// How the editor shows a language file's byte texts: UTF-8 when all of them are valid
// UTF-8, otherwise Windows-1252, the code page older files were written in. Texts the user
// did not change keep their exact bytes (Keep), so a file saved unchanged is unchanged.
class LanguageTextCodec {
public:
    static LanguageTextCodec ForTexts(const std::vector<std::string>& texts);
    static LanguageTextCodec Utf8() { return LanguageTextCodec(true); }

    bool IsUtf8() const { return m_utf8; }
    QString Decode(const std::string& bytes) const;
    // False when Encode would turn some character of `text` into "?".
    bool CanHold(const QString& text) const;
    // Characters Windows-1252 cannot hold become "?".
    std::string Encode(const QString& text) const;
    // `original` when `shown` is still what it decodes to, else `shown` encoded.
    std::string Keep(const QString& shown, const std::string& original) const;

private:
    explicit LanguageTextCodec(bool utf8) : m_utf8(utf8) {}

    bool m_utf8;
};

} // namespace tamblin
