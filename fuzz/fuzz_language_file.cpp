// Arbitrary bytes as a language file: parsing must never crash, and whatever can be written
// must read back to the same fields and the same bytes.
#include "language/LanguageFile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string output =
        std::string("/tmp/tamblin-fuzz-") + std::to_string(getpid()) + "-out.xol";
    tamblin::LanguageFile file;
    file.Parse(std::string_view(reinterpret_cast<const char*>(data), size));
    if (file.m_texts.size() != tamblin::LanguageFile::kTextCount || file.m_format != "2;1") {
        std::abort();
    }
    if (!file.FindUnwritableField().empty()) {
        return 0;
    }
    const std::string bytes = file.Bytes();
    if (!file.Write(output)) {
        std::fprintf(stderr, "a writable file was not written\n");
        std::abort();
    }
    tamblin::LanguageFile again;
    again.Read(output);
    if (!again.m_existed || again.FormatChanged() || again.m_description != file.m_description ||
        again.m_texts != file.m_texts || again.Bytes() != bytes) {
        std::fprintf(stderr, "the written file reads back differently\n");
        std::abort();
    }
    return 0;
}
