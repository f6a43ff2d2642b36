// Arbitrary bytes through the shared UTF-8 and Windows-1252 codec: every way of reading
// broken UTF-8 must move forward and stay inside the bytes, replacing readers must give
// strict UTF-8, and Windows-1252 text must survive its round trip.
#include "index/TextCodec.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tamblin;
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (BrokenUtf8 broken :
         {BrokenUtf8::ReplacePart, BrokenUtf8::ReplaceByte, BrokenUtf8::ReadShape}) {
        for (size_t at = 0; at < bytes.size();) {
            size_t before = at;
            NextCodePoint(bytes, at, broken);
            if (at <= before || at > bytes.size()) {
                std::abort();
            }
        }
        std::string repaired = RepairedUtf8(bytes, broken);
        if (!IsValidUtf8(repaired, Utf8Rule::Strict) ||
            (IsValidUtf8(bytes, Utf8Rule::Strict) && repaired != bytes)) {
            std::abort();
        }
        bool exact = false;
        Utf8ToWindows1252(bytes, broken, &exact);
    }
    bool exact = false;
    if (Utf8ToWindows1252(Windows1252ToUtf8(bytes), BrokenUtf8::ReplaceByte, &exact) != bytes ||
        !exact) {
        std::abort();
    }
    for (bool bigEndian : {true, false}) {
        if (!IsValidUtf8(Utf16ToUtf8(bytes, bigEndian), Utf8Rule::Strict)) {
            std::abort();
        }
    }
    return 0;
}
