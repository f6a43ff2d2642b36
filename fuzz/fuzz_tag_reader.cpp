// Arbitrary bytes as the pages of a site, read by the tag reader with the scanner as its
// receiver: no crash, hang or sanitizer report, and every record written must read back as
// it was meant (no bad line, no field split or trimmed, every entry and keyword found).
// The first byte picks the scan options; the rest is served for every page, a few pages at
// most. Each input is scanned twice: as browsers read pages today (character sets,
// references, headings, script and style; no control byte may reach the file then) and as
// the first scanner read them. The page is also read whole and a byte per block: the reader
// takes runs of characters at once only within a block, so the two must hand over the same
// tags, attributes and texts.
#include "index/FieldTokenizer.h"
#include "index/IndexFile.h"
#include "scanner/MemoryInput.h"
#include "scanner/SiteScanner.h"
#include "scanner/TagReader.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

class FuzzSite final : public tamblin::PageSource {
public:
    explicit FuzzSite(std::string page) : m_page(std::move(page)) {}
    std::unique_ptr<tamblin::PageInput> Open(const std::string&) override {
        if (++m_opened > 4) {
            return nullptr;
        }
        return std::make_unique<tamblin::MemoryInput>(m_page);
    }

private:
    std::string m_page;
    int m_opened = 0;
};

class OneByteInput final : public tamblin::PageInput {
public:
    explicit OneByteInput(std::string bytes) : m_input(std::move(bytes)) {}
    size_t Read(char* buffer, size_t) override { return m_input.Read(buffer, 1); }

private:
    tamblin::MemoryInput m_input;
};

// Writes down every event, and collects the text after every third tag.
class EventLog final : public tamblin::TagHandler {
public:
    int OnTag(const std::string& name) override {
        events.push_back("<" + name);
        return ++tags % 3 == 0 ? tamblin::kCollectText : tamblin::kPlainText;
    }
    void OnTagEnd() override { events.emplace_back(">"); }
    void OnAttribute(const std::string& name, const std::string& value) override {
        events.push_back(name + "=" + value);
    }
    void OnCollectedText(const std::string& text) override { events.push_back("c" + text); }
    void OnText(const std::string& text) override { events.push_back("t" + text); }
    std::vector<std::string> events;
    int tags = 0;
};

template <typename Input>
std::vector<std::string> ReadEvents(const std::string& page, unsigned flags) {
    Input input(page);
    EventLog log;
    EventLog watcher;
    tamblin::TagReader reader(&input, log, nullptr, nullptr);
    reader.SetSkipScriptAndStyle(flags & 1);
    reader.SetSingleQuotes(flags & 2);
    reader.SetTextWatcher(&watcher);
    reader.Run();
    log.events.emplace_back("|");
    log.events.insert(log.events.end(), watcher.events.begin(), watcher.events.end());
    return log.events;
}

[[noreturn]] void Fail(const char* what, const std::string& detail) {
    std::fprintf(stderr, "%s: %s\n", what, detail.c_str());
    std::abort();
}

int CountKeywords(const tamblin::IndexEntry& entry) {
    int count = static_cast<int>(entry.m_keywords.size());
    for (const auto& child : entry.m_children) {
        count += CountKeywords(*child);
    }
    return count;
}

int CountEntries(const tamblin::IndexEntry& entry) {
    int count = 0;
    for (const auto& child : entry.m_children) {
        count += 1 + CountEntries(*child);
    }
    return count;
}

void CheckRecords(const std::string& path, const tamblin::SiteScanner& scanner, bool today) {
    std::ifstream file(path, std::ios::binary);
    std::string raw((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    for (char c : raw) {
        if (today && static_cast<unsigned char>(c) < 32 && c != '\n') {
            Fail("control byte in a record", raw);
        }
    }
    size_t start = 0;
    while (start < raw.size()) {
        size_t end = raw.find('\n', start);
        if (end == std::string::npos) {
            Fail("unterminated record", raw.substr(start));
        }
        std::string line = raw.substr(start, end - start);
        start = end + 1;
        if (line.find('\r') != std::string::npos) {
            Fail("CR inside a record", line);
        }
        tamblin::FieldTokenizer trimmed(line, ";", true);
        tamblin::FieldTokenizer untrimmed(line, ";", false);
        size_t fields = 0;
        while (trimmed.HasMoreFields()) {
            if (trimmed.NextField() != untrimmed.NextField()) {
                Fail("field that reading trims", line);
            }
            ++fields;
        }
        if ((line.rfind("5;", 0) == 0 && fields != 8) ||
            (line.rfind("7;", 0) == 0 && fields != 5)) {
            Fail("record with a split field", line);
        }
    }
    tamblin::IndexFile index;
    if (!index.Load(path)) {
        Fail("cannot load", path);
    }
    if (!index.BadLines().empty()) {
        Fail("bad lines", index.BadLinesMessage());
    }
    if (CountEntries(index.m_root) != scanner.EntryCount()) {
        Fail("entries lost", raw);
    }
    int keywords =
        CountKeywords(index.m_root) + static_cast<int>(index.m_otherKeywords.m_keywords.size());
    if (keywords != scanner.KeywordCount()) {
        Fail("keywords lost", raw);
    }
}

void ScanOnce(const uint8_t* data, size_t size, bool today) {
    unsigned flags = data[0];
    tamblin::ScanSettings settings;
    if (!today) {
        settings.SetClassic();
    }
    settings.description = "fuzz";
    settings.caseSignificant = flags & 1;
    settings.ignoreBlankAnchors = flags & 2;
    settings.noTitleIgnorePage = flags & 4;
    settings.addOffSiteEntries = flags & 8;
    settings.parseAll = flags & 16;
    settings.anchorsAsKeywords = flags & 32;
    settings.skipTargetFrame = flags & 64 ? "left" : "";
    settings.fromUrl = flags & 128;
    settings.start = settings.fromUrl ? "http://host/docs/index.htm" : "/site/index.htm";

    FuzzSite site(std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
    tamblin::ScanOptions options;
    options.pageSource = &site;
    tamblin::SiteScanner scanner(settings, nullptr, options);
    std::optional<std::string> path = scanner.ScanIndex();
    if (!path) {
        return;
    }
    CheckRecords(*path, scanner, today);
    std::remove(path->c_str());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    ScanOnce(data, size, true);
    ScanOnce(data, size, false);
    std::string page(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (ReadEvents<tamblin::MemoryInput>(page, data[0]) !=
        ReadEvents<OneByteInput>(page, data[0])) {
        Fail("runs read otherwise than single characters", page);
    }
    return 0;
}
