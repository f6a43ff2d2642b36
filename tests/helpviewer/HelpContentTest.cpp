// The help content shipped with the programs: every id the program can ask for has a topic,
// every topic has its page or pop-up, and every link between pages leads somewhere.
#include "app/Commands.h"
#include "app/HelpIds.h"
#include "helpviewer/PopupRenderer.h"
#include "helpviewer/TopicMap.h"
#include "index/UrlUtils.h"
#include "scanner/TagReader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

using namespace tamblin;

namespace {

const std::string kHelpDir = SOURCE_HELP_DIR;

class LinkCollector final : public TagHandler {
public:
    int OnTag(const std::string& name) override {
        m_inAnchor = name == "a" || name == "A" || name == "link";
        return 0;
    }
    void OnTagEnd() override { m_inAnchor = false; }
    void OnAttribute(const std::string& name, const std::string& value) override {
        if (m_inAnchor && (name == "href" || name == "HREF")) {
            links.push_back(value);
        }
    }
    void OnCollectedText(const std::string&) override {}
    void OnText(const std::string&) override {}
    bool WantsPlainText() const override { return false; }

    std::vector<std::string> links;

private:
    bool m_inAnchor = false;
};

class FileInput final : public PageInput {
public:
    explicit FileInput(const std::string& path) : m_file(path, std::ios::binary) {}
    size_t Read(char* buffer, size_t size) override {
        m_file.read(buffer, static_cast<std::streamsize>(size));
        return static_cast<size_t>(m_file.gcount());
    }

private:
    std::ifstream m_file;
};

class HelpContent : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_map.Load(SOURCE_TOPIC_MAP));
        ASSERT_TRUE(LoadPopupsPage(kHelpDir + "Popups.htm", m_map, m_popups, m_defaults, {}));
    }
    TopicMap m_map;
    PopupTopics m_popups;
    TextDefaults m_defaults;
};

} // namespace

TEST_F(HelpContent, EveryIdTheProgramAsksForIsMapped) {
    std::set<unsigned> asked = {kHelpIdMainFrame, kHelpIdGettingStarted, kHelpIdSearch};
    for (const CommandInfo& info : CommandTable()) {
        if (info.kind == CommandInfo::Kind::Command) {
            asked.insert(CommandHelpId(info.id));
        }
    }
    for (int i = 0; i < kRecentFileCount; ++i) {
        asked.insert(
            CommandHelpId(static_cast<Command>(static_cast<unsigned>(Command::FileRecent1) + i)));
    }
    for (const WindowHelp& window : WindowHelpTable()) {
        asked.insert(window.helpId);
    }
    for (const ControlHelp& control : ControlHelpTable()) {
        asked.insert(control.helpId);
    }
    for (unsigned id : asked) {
        EXPECT_TRUE(m_map.NameFor(id)) << std::hex << "0x" << id;
    }
}

TEST_F(HelpContent, EveryTopicHasItsPageOrPopup) {
    ASSERT_TRUE(m_popups.defaultContent);
    for (const auto& [id, name] : m_map.Entries()) {
        bool page = FileExists(kHelpDir + name + ".htm");
        std::optional<uint32_t> first = m_map.IdFor(name);
        bool popup = first && m_popups.Find(*first);
        EXPECT_TRUE(page || popup) << name;
    }
}

TEST_F(HelpContent, EveryLinkBetweenPagesResolves) {
    int pages = 0;
    for (const auto& entry : std::filesystem::directory_iterator(kHelpDir)) {
        if (entry.path().extension() != ".htm") {
            continue;
        }
        ++pages;
        FileInput input(entry.path().string());
        LinkCollector links;
        TagReader(&input, links, nullptr, nullptr).Run();
        for (const std::string& link : links.links) {
            if (link.rfind("popup:", 0) == 0) {
                EXPECT_TRUE(m_map.IdFor(link.substr(6))) << entry.path() << ": " << link;
            } else if (!IsAbsoluteUrl(link)) {
                std::string file = link.substr(0, link.find('#'));
                EXPECT_TRUE(FileExists(kHelpDir + file)) << entry.path() << ": " << link;
            }
        }
    }
    EXPECT_GT(pages, 10);
}
