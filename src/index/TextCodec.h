#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tamblin {

// The one place that knows UTF-8 and Windows-1252: the export, the scanner, the editor and
// the language files all convert through these.

constexpr char32_t kReplacementCharacter = 0xFFFD;

// What a byte sequence that is not strict UTF-8 is read as. Each reader keeps the way its
// files and pages have always been read.
enum class BrokenUtf8 {
    ReplacePart, // one U+FFFD for the longest start of a valid sequence, as browsers count
    ReplaceByte, // one U+FFFD for each byte that starts no valid sequence
    ReadShape,   // the bits the lead byte announces, unchecked; a stray byte is itself
};

// How strictly a text must be UTF-8. Readers that decode need Strict; the editor chooses how
// to show and lower a text by Shape, as it always has, so no file shows differently.
enum class Utf8Rule {
    Strict, // no overlong forms, no surrogates, nothing above U+10FFFF
    Shape,  // every lead byte C2..F4 followed by as many continuation bytes as it announces
};

bool IsValidUtf8(std::string_view bytes, Utf8Rule rule);
// The character at `at` (which must be inside `bytes`), moving `at` past it.
char32_t NextCodePoint(std::string_view bytes, size_t& at, BrokenUtf8 broken);
// Surrogates and values above U+10FFFF are written as U+FFFD.
void AppendUtf8(std::string& out, char32_t point);
// `bytes` unchanged when they are strict UTF-8, otherwise with each broken sequence
// replaced as `broken` says.
std::string RepairedUtf8(std::string_view bytes, BrokenUtf8 broken);

// Windows-1252 as browsers read it: the five bytes the code page leaves unassigned
// (0x81 0x8D 0x8F 0x90 0x9D) stand for the C1 control of the same value, so every byte
// reads and writes back as itself.
char32_t Windows1252CodePoint(unsigned char byte);
// The byte that shows `point`, or -1 when the code page has none.
int Windows1252Byte(char32_t point);

// Each byte as the character `codePointOf` gives, written as UTF-8.
std::string SingleByteToUtf8(std::string_view bytes, char32_t (*codePointOf)(unsigned char));
// Each character as the byte `byteOf` gives; one the code page lacks becomes "?" and
// clears `exact`.
std::string Utf8ToSingleByte(std::string_view utf8, int (*byteOf)(char32_t), BrokenUtf8 broken,
                             bool* exact);

std::string Windows1252ToUtf8(std::string_view bytes);
std::string Utf8ToWindows1252(std::string_view utf8, BrokenUtf8 broken, bool* exact);

// UTF-16 without its byte-order mark; a lone surrogate becomes U+FFFD and an odd last byte
// is left out.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian);

} // namespace tamblin
