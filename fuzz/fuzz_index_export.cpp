// Arbitrary bytes as an index file for export: every decoding must give valid UTF-8, and
// the JSON written of what was read must be valid UTF-8 with no raw control character.
#include "index/ByteDecoding.h"
#include "index/IndexFile.h"
#include "index/IndexJson.h"

#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tamblin;
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (ByteEncoding encoding : {ByteEncoding::Detect, ByteEncoding::Utf8,
                                  ByteEncoding::Windows1252, ByteEncoding::Utf16}) {
        std::string text = DecodeToUtf8(bytes, encoding);
        if (!IsValidUtf8(text, Utf8Rule::Strict)) {
            std::abort();
        }
        if (encoding != ByteEncoding::Detect) {
            continue;
        }
        IndexFile index;
        index.LoadBytes(text, "fuzz.xo");
        std::ostringstream out;
        if (!WriteIndexJson(index, out)) {
            std::abort();
        }
        std::string json = out.str();
        if (!IsValidUtf8(json, Utf8Rule::Strict)) {
            std::abort();
        }
        for (char c : json) {
            if (static_cast<unsigned char>(c) < 0x20) {
                std::abort();
            }
        }
    }
    return 0;
}
