#include "language/ui/LanguageTextCodec.h"

#include "index/TextCodec.h"
#include "index/TextUtils.h"

namespace tamblin {

namespace {

char EncodeWindows1252(char16_t unit) {
    int byte = Windows1252Byte(unit);
    return byte < 0 ? '?' : static_cast<char>(byte);
}

} // namespace

LanguageTextCodec LanguageTextCodec::ForTexts(const std::vector<std::string>& texts) {
    for (const std::string& text : texts) {
        if (!IsValidUtf8(text, Utf8Rule::Shape)) {
            return LanguageTextCodec(false);
        }
    }
    return LanguageTextCodec(true);
}

QString LanguageTextCodec::Decode(const std::string& bytes) const {
    if (m_utf8) {
        return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    }
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (char byte : bytes) {
        auto value = static_cast<unsigned char>(byte);
        text += QChar(static_cast<char16_t>(Windows1252CodePoint(value)));
    }
    return text;
}

bool LanguageTextCodec::CanHold(const QString& text) const {
    if (m_utf8) {
        return true;
    }
    for (QChar unit : text) {
        if (unit != QLatin1Char('?') && EncodeWindows1252(unit.unicode()) == '?') {
            return false;
        }
    }
    return true;
}

std::string LanguageTextCodec::Encode(const QString& text) const {
    if (m_utf8) {
        return text.toStdString();
    }
    std::string bytes;
    bytes.reserve(static_cast<size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        QChar unit = text[i];
        // A character outside the basic plane is one "?", not two.
        if (unit.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;
        }
        bytes += EncodeWindows1252(unit.unicode());
    }
    return bytes;
}

std::string LanguageTextCodec::Keep(const QString& shown, const std::string& original) const {
    return Decode(original) == shown ? original : Encode(shown);
}

} // namespace tamblin
