// Arbitrary links resolved against a page as browsers resolve them: no crash, an address
// that resolves again to itself, and a shortest form under a base that leads back to it.
#include "index/WebAddress.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tamblin;
    std::string_view href(reinterpret_cast<const char*>(data), size);
    const std::string directory = "http://host:8080/a/";
    for (std::string_view page : {"http://host:8080/a/b/c.html?x#y", "file:///usr/share/doc/"}) {
        std::optional<std::string> address = WebAddress::Resolve(href, page);
        if (!address || address->compare(0, 4, "http") != 0) {
            continue;
        }
        std::optional<std::string> again = WebAddress::Resolve(*address, page);
        std::optional<std::string> back =
            WebAddress::Resolve(WebAddress::Shortest(*address, directory), directory);
        if (again != address || back != address) {
            std::abort();
        }
    }
    return 0;
}
