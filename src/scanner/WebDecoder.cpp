#include "scanner/WebDecoder.h"

#include "index/TextCodec.h"
#include "scanner/WebEncodingTables.h"

#include <algorithm>
#include <optional>
#include <tuple>

namespace tamblin {

namespace {

using namespace webencoding;

bool InRange(int byte, int low, int high) {
    return byte >= low && byte <= high;
}

bool IsAscii(int byte) {
    return InRange(byte, 0, 0x7F);
}

// The gb18030 four-byte pointer's code point, or 0.
char32_t Gb18030Ranges(unsigned pointer) {
    if ((pointer > 39419 && pointer < 189000) || pointer > 1237575) {
        return 0;
    }
    if (pointer >= 189000) {
        return 0x10000 + pointer - 189000;
    }
    if (pointer == 7457) {
        return 0xE7C7;
    }
    const GbRange* end = kGbRanges + kGbRangeCount;
    const GbRange* after =
        std::upper_bound(kGbRanges, end, pointer,
                         [](unsigned p, const GbRange& range) { return p < range.pointer; });
    const GbRange& range = *(after - 1);
    return range.first == 0 ? 0 : range.first + (pointer - range.pointer);
}

} // namespace

std::string WebDecoder::DecodeAll(std::string_view bytes, WebEncoding::Kind kind) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    WebDecoder(kind).Decode(bytes, true, out);
    return out;
}

void WebDecoder::Decode(std::string_view bytes, bool end, std::string& out) {
    size_t at = 0;
    while (true) {
        if (!m_again.empty()) {
            int byte = static_cast<unsigned char>(m_again.front());
            m_again.erase(0, 1);
            Step(byte, out);
        } else if (at < bytes.size()) {
            Step(static_cast<unsigned char>(bytes[at++]), out);
        } else if (!end || Step(kEnd, out)) {
            return;
        }
    }
}

void WebDecoder::Prepend(int byte) {
    if (byte != kEnd) {
        m_again.insert(m_again.begin(), static_cast<char>(byte));
    }
}

bool WebDecoder::Error(std::string& out) {
    AppendUtf8(out, kReplacementCharacter);
    return false;
}

bool WebDecoder::LeadAtEnd(std::string& out) {
    if (m_first == 0) {
        return true;
    }
    m_first = 0;
    return Error(out);
}

bool WebDecoder::AsciiOrLead(int byte, std::string& out) {
    if (IsAscii(byte)) {
        out += static_cast<char>(byte);
    } else if (InRange(byte, 0x81, 0xFE)) {
        m_first = byte;
    } else {
        return Error(out);
    }
    return false;
}

int WebDecoder::TakeLead() {
    int lead = m_first;
    m_first = 0;
    return lead;
}

bool WebDecoder::TrailFailed(int byte, char32_t point, std::string& out) {
    if (point != 0) {
        AppendUtf8(out, point);
        return false;
    }
    if (IsAscii(byte)) {
        Prepend(byte);
    }
    return Error(out);
}

bool WebDecoder::Step(int byte, std::string& out) {
    if (WebEncoding::IsSingleByte(m_kind)) {
        if (byte == kEnd) {
            return true;
        }
        if (byte < 0x80) {
            out += static_cast<char>(byte);
            return false;
        }
        char32_t point = kSingleByte[(m_kind - WebEncoding::kFirstSingleByte) * 128 + byte - 0x80];
        return point == 0 ? Error(out) : (AppendUtf8(out, point), false);
    }
    switch (m_kind) {
    case WebEncoding::kUtf8:
        return Utf8(byte, out);
    case WebEncoding::kGbk:
    case WebEncoding::kGb18030:
        return Gb18030(byte, out);
    case WebEncoding::kBig5:
        return Big5(byte, out);
    case WebEncoding::kEucJp:
        return EucJp(byte, out);
    case WebEncoding::kIso2022Jp:
        return Iso2022Jp(byte, out);
    case WebEncoding::kShiftJis:
        return ShiftJis(byte, out);
    case WebEncoding::kEucKr:
        return EucKr(byte, out);
    case WebEncoding::kUtf16Be:
    case WebEncoding::kUtf16Le:
        return Utf16(byte, out);
    case WebEncoding::kReplacement:
        if (byte == kEnd || m_replaced) {
            return true;
        }
        m_replaced = true;
        return Error(out);
    default: // x-user-defined
        if (byte == kEnd) {
            return true;
        }
        AppendUtf8(out, IsAscii(byte) ? static_cast<char32_t>(byte) : 0xF780 + byte - 0x80);
        return false;
    }
}

bool WebDecoder::Utf8(int byte, std::string& out) {
    if (byte == kEnd) {
        if (m_utf8Needed == 0) {
            return true;
        }
        m_utf8Needed = 0;
        return Error(out);
    }
    if (m_utf8Needed == 0) {
        if (IsAscii(byte)) {
            out += static_cast<char>(byte);
        } else if (InRange(byte, 0xC2, 0xDF)) {
            m_utf8Needed = 1;
            m_utf8Point = byte & 0x1F;
        } else if (InRange(byte, 0xE0, 0xEF)) {
            m_utf8Lower = byte == 0xE0 ? 0xA0 : 0x80;
            m_utf8Upper = byte == 0xED ? 0x9F : 0xBF;
            m_utf8Needed = 2;
            m_utf8Point = byte & 0xF;
        } else if (InRange(byte, 0xF0, 0xF4)) {
            m_utf8Lower = byte == 0xF0 ? 0x90 : 0x80;
            m_utf8Upper = byte == 0xF4 ? 0x8F : 0xBF;
            m_utf8Needed = 3;
            m_utf8Point = byte & 0x7;
        } else {
            return Error(out);
        }
        return false;
    }
    if (!InRange(byte, m_utf8Lower, m_utf8Upper)) {
        m_utf8Needed = m_utf8Seen = 0;
        m_utf8Point = 0;
        m_utf8Lower = 0x80;
        m_utf8Upper = 0xBF;
        Prepend(byte);
        return Error(out);
    }
    m_utf8Lower = 0x80;
    m_utf8Upper = 0xBF;
    m_utf8Point = (m_utf8Point << 6) | static_cast<char32_t>(byte & 0x3F);
    if (++m_utf8Seen == m_utf8Needed) {
        AppendUtf8(out, m_utf8Point);
        m_utf8Needed = m_utf8Seen = 0;
        m_utf8Point = 0;
    }
    return false;
}

bool WebDecoder::Gb18030(int byte, std::string& out) {
    if (byte == kEnd) {
        if (m_first == 0 && m_second == 0 && m_third == 0) {
            return true;
        }
        m_first = m_second = m_third = 0;
        return Error(out);
    }
    if (m_third != 0) {
        if (!InRange(byte, 0x30, 0x39)) {
            Prepend(byte);
            Prepend(m_third);
            Prepend(m_second);
            m_first = m_second = m_third = 0;
            return Error(out);
        }
        unsigned pointer = static_cast<unsigned>(((m_first - 0x81) * (10 * 126 * 10)) +
                                                 ((m_second - 0x30) * (10 * 126)) +
                                                 ((m_third - 0x81) * 10) + byte - 0x30);
        m_first = m_second = m_third = 0;
        char32_t point = Gb18030Ranges(pointer);
        return point == 0 ? Error(out) : (AppendUtf8(out, point), false);
    }
    if (m_second != 0) {
        if (InRange(byte, 0x81, 0xFE)) {
            m_third = byte;
            return false;
        }
        Prepend(byte);
        Prepend(m_second);
        m_first = m_second = 0;
        return Error(out);
    }
    if (m_first != 0) {
        if (InRange(byte, 0x30, 0x39)) {
            m_second = byte;
            return false;
        }
        int lead = TakeLead();
        char32_t point = 0;
        if (InRange(byte, 0x40, 0x7E) || InRange(byte, 0x80, 0xFE)) {
            int offset = byte < 0x7F ? 0x40 : 0x41;
            point = kGb18030[(lead - 0x81) * 190 + (byte - offset)];
        }
        return TrailFailed(byte, point, out);
    }
    if (byte == 0x80) {
        AppendUtf8(out, 0x20AC);
        return false;
    }
    return AsciiOrLead(byte, out);
}

bool WebDecoder::Big5(int byte, std::string& out) {
    if (byte == kEnd) {
        return LeadAtEnd(out);
    }
    if (m_first != 0) {
        int lead = TakeLead();
        char32_t point = 0;
        if (InRange(byte, 0x40, 0x7E) || InRange(byte, 0xA1, 0xFE)) {
            int offset = byte < 0x7F ? 0x40 : 0x62;
            int pointer = (lead - 0x81) * 157 + (byte - offset);
            // Four pointers stand for a letter and a combining mark.
            for (auto [at, letter, mark] : {std::tuple{1133, 0xCA, 0x304},
                                            {1135, 0xCA, 0x30C},
                                            {1164, 0xEA, 0x304},
                                            {1166, 0xEA, 0x30C}}) {
                if (pointer == at) {
                    AppendUtf8(out, static_cast<char32_t>(letter));
                    AppendUtf8(out, static_cast<char32_t>(mark));
                    return false;
                }
            }
            point = kBig5[pointer];
        }
        return TrailFailed(byte, point, out);
    }
    return AsciiOrLead(byte, out);
}

bool WebDecoder::EucJp(int byte, std::string& out) {
    if (byte == kEnd) {
        return LeadAtEnd(out);
    }
    if (m_first == 0x8E && InRange(byte, 0xA1, 0xDF)) {
        m_first = 0;
        AppendUtf8(out, static_cast<char32_t>(0xFF61 - 0xA1 + byte));
        return false;
    }
    if (m_first == 0x8F && InRange(byte, 0xA1, 0xFE)) {
        m_jis0212 = true;
        m_first = byte;
        return false;
    }
    if (m_first != 0) {
        int lead = TakeLead();
        char32_t point = 0;
        if (InRange(lead, 0xA1, 0xFE) && InRange(byte, 0xA1, 0xFE)) {
            int pointer = (lead - 0xA1) * 94 + byte - 0xA1;
            point = m_jis0212 ? kJis0212[pointer] : kJis0208[pointer];
        }
        m_jis0212 = false;
        return TrailFailed(byte, point, out);
    }
    if (IsAscii(byte)) {
        out += static_cast<char>(byte);
    } else if (byte == 0x8E || byte == 0x8F || InRange(byte, 0xA1, 0xFE)) {
        m_first = byte;
    } else {
        return Error(out);
    }
    return false;
}

bool WebDecoder::Iso2022Jp(int byte, std::string& out) {
    if (m_jisState == Jis::EscapeStart || m_jisState == Jis::Escape) {
        return Iso2022JpEscape(byte, out);
    }
    if (byte == 0x1B) {
        bool trail = m_jisState == Jis::TrailByte;
        m_jisState = Jis::EscapeStart;
        return trail ? Error(out) : false;
    }
    if (byte == kEnd) {
        if (m_jisState != Jis::TrailByte) {
            return true;
        }
        m_jisState = Jis::LeadByte;
        return Error(out);
    }
    switch (m_jisState) {
    case Jis::TrailByte:
        m_jisState = Jis::LeadByte;
        if (InRange(byte, 0x21, 0x7E)) {
            char32_t point = kJis0208[(m_first - 0x21) * 94 + byte - 0x21];
            return point == 0 ? Error(out) : (AppendUtf8(out, point), false);
        }
        return Error(out);
    case Jis::LeadByte:
        m_jisOutput = false;
        if (InRange(byte, 0x21, 0x7E)) {
            m_first = byte;
            m_jisState = Jis::TrailByte;
            return false;
        }
        return Error(out);
    case Jis::Katakana:
        m_jisOutput = false;
        if (InRange(byte, 0x21, 0x5F)) {
            AppendUtf8(out, static_cast<char32_t>(0xFF61 - 0x21 + byte));
            return false;
        }
        return Error(out);
    default: { // ASCII and Roman
        m_jisOutput = false;
        if (!IsAscii(byte) || byte == 0x0E || byte == 0x0F) {
            return Error(out);
        }
        bool roman = m_jisState == Jis::Roman;
        char32_t point = roman && byte == 0x5C   ? 0xA5
                         : roman && byte == 0x7E ? 0x203E
                                                 : static_cast<char32_t>(byte);
        AppendUtf8(out, point);
        return false;
    }
    }
}

bool WebDecoder::Iso2022JpEscape(int byte, std::string& out) {
    if (m_jisState == Jis::EscapeStart) {
        if (byte == 0x24 || byte == 0x28) {
            m_second = byte;
            m_jisState = Jis::Escape;
            return false;
        }
        Prepend(byte);
        m_jisOutput = false;
        m_jisState = m_jisOutputState;
        return Error(out);
    }
    int lead = m_second;
    m_second = 0;
    std::optional<Jis> state;
    if (lead == 0x28 && byte == 0x42) {
        state = Jis::Ascii;
    } else if (lead == 0x28 && byte == 0x4A) {
        state = Jis::Roman;
    } else if (lead == 0x28 && byte == 0x49) {
        state = Jis::Katakana;
    } else if (lead == 0x24 && (byte == 0x40 || byte == 0x42)) {
        state = Jis::LeadByte;
    }
    if (state) {
        m_jisState = m_jisOutputState = *state;
        bool output = m_jisOutput;
        m_jisOutput = true;
        return output ? Error(out) : false;
    }
    Prepend(byte);
    Prepend(lead);
    m_jisOutput = false;
    m_jisState = m_jisOutputState;
    return Error(out);
}

bool WebDecoder::ShiftJis(int byte, std::string& out) {
    if (byte == kEnd) {
        return LeadAtEnd(out);
    }
    if (m_first != 0) {
        int lead = TakeLead();
        char32_t point = 0;
        if (InRange(byte, 0x40, 0x7E) || InRange(byte, 0x80, 0xFC)) {
            int offset = byte < 0x7F ? 0x40 : 0x41;
            int leadOffset = lead < 0xA0 ? 0x81 : 0xC1;
            int pointer = (lead - leadOffset) * 188 + byte - offset;
            point = pointer >= 8836 && pointer <= 10715
                        ? static_cast<char32_t>(0xE000 - 8836 + pointer)
                        : kJis0208[pointer];
        }
        return TrailFailed(byte, point, out);
    }
    if (IsAscii(byte) || byte == 0x80) {
        AppendUtf8(out, static_cast<char32_t>(byte));
    } else if (InRange(byte, 0xA1, 0xDF)) {
        AppendUtf8(out, static_cast<char32_t>(0xFF61 - 0xA1 + byte));
    } else if (InRange(byte, 0x81, 0x9F) || InRange(byte, 0xE0, 0xFC)) {
        m_first = byte;
    } else {
        return Error(out);
    }
    return false;
}

bool WebDecoder::EucKr(int byte, std::string& out) {
    if (byte == kEnd) {
        return LeadAtEnd(out);
    }
    if (m_first != 0) {
        int lead = TakeLead();
        char32_t point = InRange(byte, 0x41, 0xFE) ? kEucKr[(lead - 0x81) * 190 + byte - 0x41] : 0;
        return TrailFailed(byte, point, out);
    }
    return AsciiOrLead(byte, out);
}

bool WebDecoder::Utf16(int byte, std::string& out) {
    if (byte == kEnd) {
        if (m_utf16Lead < 0 && m_leadSurrogate < 0) {
            return true;
        }
        m_utf16Lead = m_leadSurrogate = -1;
        return Error(out);
    }
    if (m_utf16Lead < 0) {
        m_utf16Lead = byte;
        return false;
    }
    bool bigEndian = m_kind == WebEncoding::kUtf16Be;
    int unit = bigEndian ? (m_utf16Lead << 8) + byte : (byte << 8) + m_utf16Lead;
    m_utf16Lead = -1;
    if (m_leadSurrogate >= 0) {
        int lead = m_leadSurrogate;
        m_leadSurrogate = -1;
        if (InRange(unit, 0xDC00, 0xDFFF)) {
            AppendUtf8(out,
                       static_cast<char32_t>(0x10000 + ((lead - 0xD800) << 10) + (unit - 0xDC00)));
            return false;
        }
        int high = unit >> 8;
        int low = unit & 0xFF;
        Prepend(bigEndian ? low : high);
        Prepend(bigEndian ? high : low);
        return Error(out);
    }
    if (InRange(unit, 0xD800, 0xDBFF)) {
        m_leadSurrogate = unit;
        return false;
    }
    if (InRange(unit, 0xDC00, 0xDFFF)) {
        return Error(out);
    }
    AppendUtf8(out, static_cast<char32_t>(unit));
    return false;
}

} // namespace tamblin
