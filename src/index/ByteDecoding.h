#pragma once

#include "index/TextCodec.h"

#include <string>
#include <string_view>

namespace tamblin {

// How the bytes of an index or language file become text for tools outside Tamblin,
// decided as browsers decide it, so that a script reading the same file sees the same texts.
enum class ByteEncoding {
    Detect,      // UTF-8 when every byte sequence is valid UTF-8, else Windows-1252
    Utf8,        // invalid sequences become U+FFFD
    Windows1252, // every byte is one character
    Utf16,       // byte-order mark decides the byte order; big-endian without one
};

// The encoding an encoding name of the search page wizard stands for; an empty name is
// Detect. False for a name that is not decoded here (such as "JISAutoDetect").
bool EncodingFromName(std::string_view name, ByteEncoding& encoding);

// The text of `bytes` as UTF-8. A leading UTF-8 byte-order mark is dropped when the bytes
// are read as UTF-8, and a UTF-16 one always.
std::string DecodeToUtf8(std::string_view bytes, ByteEncoding encoding);

} // namespace tamblin
