#pragma once

#include "contents/EditStep.h"

#include <cstddef>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace tamblin {

class BaseUrl;
class IndexEntry;
class IndexFile;

// A change of the index file's own settings: description, tip text and the base URL list
// (the Index File sheet, a rename of the root), and with "Set all URLs to this Base URL"
// every entry's base URL and targets. Base URLs that one side of the step has and the
// model now lacks are owned by the step, so entries and older steps never point at freed
// records.
class IndexFileStep final : public EditStep {
public:
    struct BaseValues {
        BaseUrl* record = nullptr;
        int id = 0;
        std::string url;
        std::string targetFrame;
        int inUse = 0;
    };
    struct EntryTargets {
        IndexEntry* entry = nullptr;
        BaseUrl* baseUrl = nullptr;
        std::string targetFrame;
        int ownTarget = 0;
        std::vector<std::pair<std::string, int>> keywordTargets;
    };
    struct State {
        std::string description;
        std::string tipText;
        std::vector<BaseValues> baseUrls;
        // Every entry from the root down, in pre-order; filled only when asked for.
        std::vector<EntryTargets> targets;

        static State Of(const IndexFile& index, bool withTargets);
        bool SameSettings(const State& other) const;
        bool SameTargets(const State& other) const;
        std::size_t Bytes() const;
    };

    // `removed`: the base URL records that the edit took out of the list.
    IndexFileStep(std::string name, IndexFile& index, State before, State after,
                  std::vector<std::unique_ptr<BaseUrl>> removed);
    ~IndexFileStep() override;

    void Undo(EditObserver& observer) override { Apply(m_before, observer); }
    void Redo(EditObserver& observer) override { Apply(m_after, observer); }
    std::size_t Bytes() const override;
    std::vector<std::unique_ptr<BaseUrl>> TakeBaseUrls() override { return std::move(m_owned); }

private:
    void Apply(const State& state, EditObserver& observer);
    void ApplyBaseUrls(const State& state);

    IndexFile* m_index;
    State m_before;
    State m_after;
    std::vector<std::unique_ptr<BaseUrl>> m_owned;
};

} // namespace tamblin
