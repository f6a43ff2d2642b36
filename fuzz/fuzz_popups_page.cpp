// Arbitrary bytes as a pop-ups page rendered into topics: no crash, and no face name longer
// than a format can hold.
#include "helpviewer/PopupRenderer.h"
#include "scanner/MemoryInput.h"
#include "scanner/TagReader.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void Check(const tamblin::RunList& runs) {
    for (const tamblin::TextRun& run : runs) {
        if (run.format.face.size() > tamblin::CharFormat::kMaxFaceLength) {
            std::abort();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    tamblin::TopicMap map;
    map.Add(1, "A");
    map.Add(2, "B");
    map.Add(3, "Default");
    tamblin::PopupTopics topics;
    tamblin::TextDefaults defaults;
    std::vector<std::string> faces{"arial", "verdana"};
    tamblin::MemoryInput input(std::string(reinterpret_cast<const char*>(data), size));
    tamblin::PopupRenderer renderer(map, topics, defaults, faces);
    tamblin::TagReader reader(&input, renderer, nullptr, nullptr);
    reader.Run();
    renderer.Finish();
    for (const auto& [id, runs] : topics.topics) {
        Check(runs);
    }
    if (topics.defaultContent) {
        Check(*topics.defaultContent);
    }
    return 0;
}
