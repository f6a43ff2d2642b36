#pragma once

#include "index/TextCodec.h"

#include <string>
#include <string_view>

namespace tamblin {

class IndexFile;

// How the texts of a file are read for display: UTF-8 when they all are valid UTF-8,
// otherwise Windows-1252, the code page old files were written in.
enum class TextEncoding { Utf8, Windows1252 };

// Characters outside the code page become "?" and clear `exact`. Bytes that are not UTF-8
// are re-encoded by their shape alone, as the editor always has.
std::string Utf8ToWindows1252(std::string_view utf8, bool* exact = nullptr);

TextEncoding DetectEncoding(const IndexFile& index);

} // namespace tamblin
