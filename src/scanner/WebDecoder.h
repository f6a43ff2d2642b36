#pragma once

#include "scanner/WebEncoding.h"

#include <string>
#include <string_view>

namespace tamblin {

// Bytes of one of the web's encodings to UTF-8, byte for byte as browsers decode them: each
// error one U+FFFD, an ASCII byte that breaks a sequence read again on its own. Streams:
// a sequence cut between two calls is finished by the next. No byte-order mark is taken
// off; the caller has sniffed it.
class WebDecoder {
public:
    explicit WebDecoder(WebEncoding::Kind kind) : m_kind(kind) {}

    // Appends the UTF-8 of `bytes`; `end` when no more bytes come, which ends a sequence
    // left open as an error.
    void Decode(std::string_view bytes, bool end, std::string& out);
    static std::string DecodeAll(std::string_view bytes, WebEncoding::Kind kind);

private:
    static constexpr int kEnd = -1;
    enum class Jis { Ascii, Roman, Katakana, LeadByte, TrailByte, EscapeStart, Escape };

    // One byte, or kEnd; true when the decoder has finished at the end.
    bool Step(int byte, std::string& out);
    bool Utf8(int byte, std::string& out);
    bool Gb18030(int byte, std::string& out);
    bool Big5(int byte, std::string& out);
    bool EucJp(int byte, std::string& out);
    bool Iso2022Jp(int byte, std::string& out);
    bool Iso2022JpEscape(int byte, std::string& out);
    bool ShiftJis(int byte, std::string& out);
    bool EucKr(int byte, std::string& out);
    bool Utf16(int byte, std::string& out);
    // The input ended: a lead byte still waiting for its trail is one error.
    bool LeadAtEnd(std::string& out);
    // Outside a sequence, as the two-byte encodings whose lead bytes are 0x81 to 0xFE read.
    bool AsciiOrLead(int byte, std::string& out);
    // The lead byte waiting for this trail byte, no longer waiting.
    int TakeLead();
    // The lead byte of a two-byte sequence failed on `byte`: an ASCII byte is read again.
    bool TrailFailed(int byte, char32_t point, std::string& out);
    void Prepend(int byte);
    static bool Error(std::string& out);

    WebEncoding::Kind m_kind;
    // Bytes given back to be read before the rest, the next one first.
    std::string m_again;
    int m_first = 0;
    int m_second = 0;
    int m_third = 0;
    bool m_jis0212 = false;
    Jis m_jisState = Jis::Ascii;
    Jis m_jisOutputState = Jis::Ascii;
    bool m_jisOutput = false;
    int m_utf8Needed = 0;
    int m_utf8Seen = 0;
    char32_t m_utf8Point = 0;
    int m_utf8Lower = 0x80;
    int m_utf8Upper = 0xBF;
    int m_utf16Lead = -1;
    int m_leadSurrogate = -1;
    bool m_replaced = false;
};

} // namespace tamblin
