// Arbitrary bytes as a stored WindowPosition, as command-line arguments and as text to
// re-encode: parsing must never crash, a parsed position must print back to numbers that
// parse to the same placement, and Windows-1252 text must survive its round trip.
#include "app/CommandLineInfo.h"
#include "app/TextEncoding.h"
#include "app/WindowPlacement.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    tamblin::WindowPlacement placement;
    if (tamblin::ParseWindowPosition(text, placement)) {
        tamblin::WindowPlacement again;
        if (!tamblin::ParseWindowPosition(tamblin::FormatWindowPosition(placement), again) ||
            again.left != placement.left || again.right != placement.right ||
            again.top != placement.top || again.bottom != placement.bottom) {
            std::abort();
        }
    }
    std::vector<std::string> arguments;
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == '\n') {
            arguments.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    tamblin::CommandLineInfo::Parse(arguments);
    std::string noZero = text;
    for (char& c : noZero) {
        c = c == '\0' ? ' ' : c;
    }
    if (tamblin::Utf8ToWindows1252(tamblin::Windows1252ToUtf8(noZero)) != noZero) {
        std::abort();
    }
    tamblin::Utf8ToWindows1252(text);
    return 0;
}
