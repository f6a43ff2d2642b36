#include "ScanTestSupport.h"

#include "TestFiles.h"
#include "index/FieldTokenizer.h"
#include "index/IndexFile.h"
#include "scanner/MemoryInput.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

namespace scantest {

namespace {

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    std::string line;
    while (std::getline(stream, line)) {
        lines.push_back(line);
    }
    return lines;
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

} // namespace

std::unique_ptr<tamblin::PageInput> MapPageSource::Open(const std::string& location) {
    ++opened[location];
    auto it = pages.find(location);
    if (it == pages.end()) {
        return nullptr;
    }
    return std::make_unique<tamblin::MemoryInput>(it->second);
}

void ExpectReadsBack(const std::string& path, int entries, int keywords) {
    std::string raw = TestFiles::Read(path);
    for (const std::string& line : SplitLines(raw)) {
        // Reading trims every field and splits at every ";": a written field must survive both.
        tamblin::FieldTokenizer trimmed(line, ";", true);
        tamblin::FieldTokenizer untrimmed(line, ";", false);
        size_t fields = 0;
        while (trimmed.HasMoreFields()) {
            std::string a = trimmed.NextField();
            std::string b = untrimmed.NextField();
            EXPECT_EQ(a, b) << "a field with spaces at an end in: " << line;
            ++fields;
        }
        if (line.rfind("5;", 0) == 0) {
            EXPECT_EQ(fields, 8u) << line;
        } else if (line.rfind("7;", 0) == 0) {
            EXPECT_EQ(fields, 5u) << line;
        }
    }
    tamblin::IndexFile index;
    ASSERT_EQ(index.Load(path), 1);
    EXPECT_EQ(index.BadLinesMessage(), "");
    EXPECT_EQ(CountEntries(index.m_root), entries);
    EXPECT_EQ(CountKeywords(index.m_root) +
                  static_cast<int>(index.m_otherKeywords.m_keywords.size()),
              keywords);
}

tamblin::ScanSettings PlainScan(const std::string& start, bool fromUrl) {
    tamblin::ScanSettings settings;
    settings.fromUrl = fromUrl;
    settings.start = start;
    settings.rememberScan = false;
    return settings;
}

ScanRun Scan(const tamblin::ScanSettings& settings, tamblin::ScanOptions options,
             RecordingObserver* observer) {
    TestFiles::PinDate();
    RecordingObserver own;
    RecordingObserver* used = observer ? observer : &own;
    if (!options.abortFlag) {
        options.abortFlag = &used->abort;
    }
    tamblin::SiteScanner scanner(settings, used, options);
    std::optional<std::string> path = scanner.ScanIndex();
    ScanRun run;
    if (!path) {
        ADD_FAILURE() << "scan did not start: " << scanner.ErrorText();
        return run;
    }
    EXPECT_EQ(used->completions, 1);
    run.raw = TestFiles::Read(*path);
    run.lines = SplitLines(run.raw);
    run.problems = used->problems;
    run.statuses = used->statuses;
    run.summary = scanner.Summary();
    run.report = scanner.Report();
    run.aborted = scanner.Aborted();
    EXPECT_EQ(used->summary, run.summary);
    ExpectReadsBack(*path, scanner.EntryCount(), scanner.KeywordCount());
    std::remove(path->c_str());
    return run;
}

std::vector<std::string> Body(const ScanRun& run) {
    if (run.lines.size() < 3) {
        return {};
    }
    return std::vector<std::string>(run.lines.begin() + 3, run.lines.end());
}

std::vector<std::string> Entries(const ScanRun& run) {
    std::vector<std::string> entries;
    for (const std::string& line : Body(run)) {
        if (line.rfind("5;", 0) == 0) {
            entries.push_back(line);
        }
    }
    return entries;
}

} // namespace scantest
