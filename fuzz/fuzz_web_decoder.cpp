// Arbitrary bytes through the decoder of every web encoding (the first byte picks it, the
// second where the bytes are cut in two): the output is strict UTF-8 and the same whether
// the bytes come at once or in two parts.
#include "index/TextCodec.h"
#include "scanner/WebDecoder.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tamblin;
    if (size < 2) {
        return 0;
    }
    auto kind = static_cast<WebEncoding::Kind>(data[0] % (WebEncoding::kUserDefined + 1));
    std::string_view bytes(reinterpret_cast<const char*>(data + 2), size - 2);
    size_t cut = bytes.empty() ? 0 : data[1] % (bytes.size() + 1);
    std::string whole = WebDecoder::DecodeAll(bytes, kind);
    std::string parts;
    WebDecoder decoder(kind);
    decoder.Decode(bytes.substr(0, cut), false, parts);
    decoder.Decode(bytes.substr(cut), true, parts);
    if (!IsStrictUtf8(whole) || parts != whole) {
        std::abort();
    }
    return 0;
}
