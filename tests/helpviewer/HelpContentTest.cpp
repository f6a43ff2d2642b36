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
#include <map>
#include <set>

using namespace tamblin;

namespace {

const std::string kHelpDir = SOURCE_HELP_DIR;

// The links of a page, and the places inside it that a link can name (id and name
// attributes).
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
        if (name == "id" || (m_inAnchor && name == "name")) {
            places.insert(value);
        }
    }
    void OnCollectedText(const std::string&) override {}
    void OnText(const std::string&) override {}
    bool WantsPlainText() const override { return false; }

    std::vector<std::string> links;
    std::set<std::string> places;

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

LinkCollector ReadPage(const std::string& path) {
    FileInput input(path);
    LinkCollector links;
    TagReader(&input, links, nullptr, nullptr).Run();
    return links;
}

std::vector<std::string> PageNames() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(kHelpDir)) {
        if (entry.path().extension() == ".htm") {
            names.push_back(entry.path().filename().string());
        }
    }
    return names;
}

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

TEST_F(HelpContent, CommandsAndWindowsHaveAPageAndControlsAPopup) {
    auto hasPage = [this](unsigned id) {
        const std::string* name = m_map.NameFor(id);
        return name && FileExists(kHelpDir + *name + ".htm");
    };
    for (const CommandInfo& info : CommandTable()) {
        if (info.kind != CommandInfo::Kind::Separator) {
            EXPECT_TRUE(hasPage(CommandHelpId(info.id))) << info.objectName;
        }
    }
    for (const WindowHelp& window : WindowHelpTable()) {
        EXPECT_TRUE(hasPage(window.helpId)) << window.objectName;
    }
    // A control's help is asked for as a pop-up; a page would hide the dialog's own help.
    for (const ControlHelp& control : ControlHelpTable()) {
        const std::string* name = m_map.NameFor(control.helpId);
        ASSERT_TRUE(name) << control.windowName << "/" << control.controlName;
        std::optional<uint32_t> first = m_map.IdFor(*name);
        EXPECT_TRUE(first && m_popups.Find(*first))
            << control.windowName << "/" << control.controlName << ": " << *name;
    }
}

TEST_F(HelpContent, ControlIdsAreControlNumbersAndNoTwoControlsShareOne) {
    std::set<unsigned> ids;
    for (const ControlHelp& control : ControlHelpTable()) {
        EXPECT_EQ(control.helpId & 0xFFFF0000u, kControlHelpBase) << control.controlName;
        EXPECT_TRUE(ids.insert(control.helpId).second)
            << control.windowName << "/" << control.controlName << std::hex << " 0x"
            << control.helpId;
    }
    std::set<std::string> windows;
    for (const WindowHelp& window : WindowHelpTable()) {
        EXPECT_TRUE(windows.insert(window.objectName).second) << window.objectName;
    }
}

TEST_F(HelpContent, EveryPopupTopicHasAnIdAndEveryPopupIdItsTopic) {
    LinkCollector popups = ReadPage(kHelpDir + "Popups.htm");
    EXPECT_GT(popups.places.size(), 100u);
    for (const std::string& name : popups.places) {
        if (name != "Default") {
            EXPECT_TRUE(m_map.IdFor(name)) << name << " can never be shown";
        }
    }
}

TEST_F(HelpContent, EveryLinkBetweenPagesResolvesToAPageAndPlace) {
    std::map<std::string, std::set<std::string>> places;
    for (const std::string& page : PageNames()) {
        places[page] = ReadPage(kHelpDir + page).places;
    }
    for (const std::string& page : PageNames()) {
        for (const std::string& link : ReadPage(kHelpDir + page).links) {
            if (link.rfind("popup:", 0) == 0) {
                EXPECT_TRUE(m_map.IdFor(link.substr(6))) << page << ": " << link;
                continue;
            }
            if (IsAbsoluteUrl(link)) {
                continue;
            }
            size_t hash = link.find('#');
            std::string file = link.substr(0, hash);
            if (!places.count(file)) {
                EXPECT_TRUE(FileExists(kHelpDir + file)) << page << ": " << link;
            } else if (hash != std::string::npos) {
                EXPECT_TRUE(places[file].count(link.substr(hash + 1))) << page << ": " << link;
            }
        }
    }
    EXPECT_GT(places.size(), 60u);
}

TEST_F(HelpContent, ContentsAndTopicMapReachEveryPage) {
    std::set<std::string> listed;
    for (const std::string& link : ReadPage(kHelpDir + "Contents.htm").links) {
        listed.insert(link.substr(0, link.find('#')));
    }
    std::set<std::string> mapped;
    for (const auto& [id, name] : m_map.Entries()) {
        mapped.insert(name + ".htm");
    }
    for (const std::string& page : PageNames()) {
        if (page == "Contents.htm" || page == "Popups.htm") {
            continue;
        }
        EXPECT_TRUE(listed.count(page)) << page << " is missing from the contents";
        EXPECT_TRUE(mapped.count(page)) << page << " has no help id";
    }
}
