#pragma once

#include "scanner/TagHandler.h"

#include <string>
#include <unordered_set>

namespace tamblin {

// Gathers the targets a "#fragment" can reach in a page: every id, and the name of every
// <a>. Names in other tags (meta, input) are no targets, so they are left out.
class AnchorCollector final : public TagHandler {
public:
    const std::unordered_set<std::string>& Anchors() const { return m_anchors; }

    int OnTag(const std::string& name) override;
    void OnTagEnd() override {}
    void OnAttribute(const std::string& name, const std::string& value) override;
    void OnCollectedText(const std::string& /*text*/) override {}
    void OnText(const std::string& /*text*/) override {}
    bool WantsPlainText() const override { return false; }

private:
    bool m_inAnchorTag = false;
    std::unordered_set<std::string> m_anchors;
};

} // namespace tamblin
