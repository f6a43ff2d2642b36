#pragma once

#include "helpviewer/PopupTopics.h"
#include "helpviewer/RunList.h"
#include "helpviewer/TopicMap.h"
#include "scanner/TagHandler.h"

#include <optional>
#include <string>
#include <vector>

namespace tamblin {

// The topic a renderer is filling: a first id, and from a second named anchor on a second.
struct OpenPopupTopic {
    std::optional<uint32_t> id;
    RunList runs;
    bool isDefault = false;
    bool hasSecond = false;
    std::optional<uint32_t> secondId;
    RunList secondRuns;
};

// Turns a pop-ups page, as the tag reader delivers it, into pop-up topics: a topic runs from
// a named anchor to the next hr tag or the end of the page. Tags become text runs and
// format runs at once; no document tree is kept.
class PopupRenderer final : public TagHandler {
public:
    // installedFacesLower: the installed font families, lower-cased.
    PopupRenderer(const TopicMap& map, PopupTopics& topics, TextDefaults& defaults,
                  const std::vector<std::string>& installedFacesLower);

    int OnTag(const std::string& name) override;
    void OnTagEnd() override;
    void OnAttribute(const std::string& name, const std::string& value) override;
    void OnCollectedText(const std::string& text) override;
    void OnText(const std::string& text) override;
    // Stores the topic still open at the end of the page.
    void Finish();

private:
    int OnBodyTag(const std::string& name);
    bool OnHeadingTag(const std::string& name);
    void StartTopic(const std::string& name);
    void EndTopic();
    void AppendText(std::string text);
    void AppendFormat(const CharFormat& format);
    CharFormat Effect(unsigned bit, bool on) const;

    const TopicMap& m_map;
    PopupTopics& m_topics;
    TextDefaults& m_defaults;
    const std::vector<std::string>& m_faces;

    bool m_inBody = false;
    int m_mode = 0;
    std::string m_pendingFace;
    int m_pendingSize = 0;
    long long m_pendingColor = -1;
    std::optional<OpenPopupTopic> m_topic;
    bool m_endedWithSpace = false;
};

// Renders the page at path into topics. False when it cannot be read, or is not a regular file
// of at most kMaxHelpFileBytes (nothing is added).
bool LoadPopupsPage(const std::string& path, const TopicMap& map, PopupTopics& topics,
                    TextDefaults& defaults, const std::vector<std::string>& installedFacesLower);

} // namespace tamblin
