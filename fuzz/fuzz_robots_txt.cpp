// Arbitrary bytes as a site's robots.txt, and as paths asked about: no crash, hang or
// sanitizer report, and a file without rules allows everything.
#include "scanner/RobotsTxt.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    tamblin::RobotsTxt robots(bytes, "Tamblin/1.1.18");
    size_t cut = bytes.find('\n');
    std::string_view path = cut == std::string_view::npos ? bytes : bytes.substr(0, cut);
    robots.Allows(path);
    robots.Allows("/");
    robots.Allows(bytes);
    if (bytes.find(':') == std::string_view::npos && !robots.Allows(path)) {
        std::abort();
    }
    return 0;
}
