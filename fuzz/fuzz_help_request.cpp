// Arbitrary bytes as what arrives on Lumio's socket, cut into arbitrary pieces: no crash, and
// the decoder never holds more than one frame's worth, however large a frame claims to be.
#include "helpviewer/HelpRequest.h"
#include "helpviewer/RequestDecoder.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    size_t piece = data[0] % 16 + 1;
    std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    tamblin::RequestDecoder decoder;
    while (!bytes.empty() && !decoder.IsBroken()) {
        std::string_view chunk = bytes.substr(0, piece);
        size_t used = decoder.Feed(chunk);
        bytes.remove_prefix(used);
        if (auto request = decoder.Take()) {
            if (request->text.size() >= tamblin::kMaxRequestBytes) {
                std::abort();
            }
            (void)tamblin::ParseContextText(request->text);
            std::string again = tamblin::EncodeRequest(request->code, request->text);
            tamblin::RequestDecoder echo;
            echo.Feed(again);
            auto decoded = echo.Take();
            if (!decoded || decoded->text != request->text || decoded->code != request->code) {
                std::abort();
            }
        } else if (used == 0) {
            break;
        }
    }
    return 0;
}
