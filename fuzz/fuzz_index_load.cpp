// Arbitrary bytes as an index file: loading, reporting and saving must never crash, and a
// saved file must load again with every entry it had.
#include "index/IndexFile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

std::string ScratchPath(const char* name) {
    return std::string("/tmp/tamblin-fuzz-") + std::to_string(getpid()) + "-" + name;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string input = ScratchPath("in.xo");
    static const std::string output = ScratchPath("out.xo");
    {
        std::ofstream file(input, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    tamblin::IndexFile index;
    if (!index.Load(input)) {
        return 0;
    }
    (void)index.BadLinesMessage();
    (void)index.StatisticsText();
    for (auto& child : index.m_root.m_children) {
        (void)child->KeywordSummary();
        (void)child->Clone();
    }
    int urls = 0;
    int keywords = 0;
    index.m_root.CountUrlsAndKeywords(urls, keywords);
    if (index.Save(output)) {
        tamblin::IndexFile again;
        int urlsAgain = 0;
        int keywordsAgain = 0;
        if (again.Load(output)) {
            again.m_root.CountUrlsAndKeywords(urlsAgain, keywordsAgain);
        }
        if (urlsAgain != urls) {
            std::fprintf(stderr, "saved %d URLs, read back %d:\n%s\n", urls, urlsAgain,
                         again.BadLinesMessage().c_str());
            std::abort();
        }
    }
    return 0;
}
