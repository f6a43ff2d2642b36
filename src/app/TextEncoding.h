#pragma once

#include <string>
#include <string_view>

namespace tamblin {

class IndexFile;

// How the texts of a file are read for display: UTF-8 when they all are valid UTF-8,
// otherwise Windows-1252, the code page old files were written in.
enum class TextEncoding { Utf8, Windows1252 };

// Every byte maps to one character and back, so a Windows-1252 text survives the round
// trip exactly (the five bytes the code page leaves unassigned map to C1 controls).
std::string Windows1252ToUtf8(std::string_view bytes);
// Characters outside the code page become "?" and clear `exact`.
std::string Utf8ToWindows1252(std::string_view utf8, bool* exact = nullptr);

TextEncoding DetectEncoding(const IndexFile& index);

} // namespace tamblin
