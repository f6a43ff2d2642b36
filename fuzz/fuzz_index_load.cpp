// Arbitrary bytes as an index file: reading, reporting and writing must never crash; what
// is written must read back with every entry it had, and after one round trip (which may
// move keywords of the root among the Other Index keywords) writing is stable.
#include "index/IndexFile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

int CountUrls(const tamblin::IndexFile& index) {
    int urls = 0;
    int keywords = 0;
    index.m_root.CountUrlsAndKeywords(urls, keywords);
    return urls;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    setenv("SOURCE_DATE_EPOCH", "1796515200", 1);
    tamblin::IndexFile index;
    index.LoadBytes(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.xo");
    (void)index.BadLinesMessage();
    (void)index.StatisticsText();
    for (auto& child : index.m_root.m_children) {
        (void)child->KeywordSummary();
        (void)child->Clone();
    }
    if (!index.FindUnwritableField().empty()) {
        return 0;
    }
    const int urls = CountUrls(index);
    const std::string written = index.WriteToString();
    tamblin::IndexFile again;
    again.LoadBytes(written, "again.xo");
    const std::string rewritten = again.WriteToString();
    tamblin::IndexFile third;
    third.LoadBytes(rewritten, "third.xo");
    if (CountUrls(again) != urls || third.WriteToString() != rewritten) {
        std::fprintf(stderr, "wrote %d URLs, read back %d:\n%s\n", urls, CountUrls(again),
                     again.BadLinesMessage().c_str());
        std::abort();
    }
    return 0;
}
