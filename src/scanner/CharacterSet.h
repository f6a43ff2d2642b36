#pragma once

#include <string>
#include <string_view>

namespace tamblin {

// The character sets the scanner reads and writes. Every text is held as UTF-8 inside the
// scanner; these convert at the edges.
class CharacterSet {
public:
    enum Kind { kUtf8, kWindows1252, kLatin9, kUnknown };

    // A label as pages and servers write it ("UTF-8", "iso-8859-1", "latin1" ...); like
    // browsers, ISO-8859-1 and US-ASCII are read as Windows-1252. kUnknown when not known.
    static Kind FromLabel(std::string_view label);
    // The charset parameter of a Content-Type value, or "" when there is none.
    static std::string LabelOfContentType(std::string_view contentType);
    static const char* Name(Kind kind);

    static bool IsUtf8(std::string_view bytes);
    static void AppendUtf8(std::string& out, char32_t point);
    // Invalid UTF-8 (in kUtf8) becomes U+FFFD; kUnknown is read as kWindows1252.
    static std::string ToUtf8(std::string_view bytes, Kind from);
    // Characters the target lacks become "?".
    static std::string FromUtf8(std::string_view utf8, Kind to);
    // UTF-16 of either byte order, without its byte-order mark, as UTF-8.
    static std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian);

    // Bytes 0x80 to 0x9F as Windows-1252 shows them (the other bytes map to themselves).
    static char32_t Windows1252(unsigned char byte);
};

} // namespace tamblin
