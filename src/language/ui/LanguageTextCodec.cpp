#include "language/ui/LanguageTextCodec.h"

#include "index/TextUtils.h"

namespace tamblin {

namespace {

// Windows-1252 at 0x80..0x9F; the five unassigned bytes stand for the C1 control of the
// same value, so that every byte reads and writes back as itself.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char EncodeWindows1252(char16_t unit) {
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) {
        return static_cast<char>(unit);
    }
    for (int i = 0; i < 32; ++i) {
        if (kHighControls[i] == unit) {
            return static_cast<char>(0x80 + i);
        }
    }
    return '?';
}

} // namespace

LanguageTextCodec LanguageTextCodec::ForTexts(const std::vector<std::string>& texts) {
    for (const std::string& text : texts) {
        if (!IsValidUtf8(text)) {
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
        text += QChar(value >= 0x80 && value < 0xA0 ? kHighControls[value - 0x80]
                                                    : static_cast<char16_t>(value));
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
