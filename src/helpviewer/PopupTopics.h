#pragma once

#include "helpviewer/RunList.h"

#include <map>
#include <optional>

namespace tamblin {

// Pop-up contents by topic id, and the one default content used for topics without help.
struct PopupTopics {
    std::map<uint32_t, RunList> topics;
    std::optional<RunList> defaultContent;

    const RunList* Find(uint32_t id) const {
        auto it = topics.find(id);
        return it == topics.end() ? nullptr : &it->second;
    }
    void Clear() {
        topics.clear();
        defaultContent.reset();
    }
};

// Process-wide text defaults: pages loaded later change what every pop-up shows.
struct TextDefaults {
    uint32_t background = MakeRgb(239, 255, 255);
    uint32_t textColor = 0;
    int baseFontSize = 2;
    std::string face = "Arial";
    // Size 2, the pop-up's default, is drawn at the desktop's font size and the other sizes
    // in proportion; off, every size is the renderer's height in twips as it stands.
    bool desktopFontSize = true;
};

} // namespace tamblin
