// Arbitrary bytes as a topic map file: no crash, and every name read maps back to an id.
#include "helpviewer/TopicMap.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    tamblin::TopicMap map;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        map.ReadLine(text.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos) {
            break;
        }
        start = end + 1;
    }
    for (const auto& [id, name] : map.Entries()) {
        if (id == 0 || name.empty() || !map.IdFor(name)) {
            std::abort();
        }
    }
    return 0;
}
