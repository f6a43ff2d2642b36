#include "contents/IndexFileStep.h"

#include "contents/EditObserver.h"
#include "index/BaseUrl.h"
#include "index/IndexFile.h"

#include <unordered_map>

namespace tamblin {

namespace {

bool SameBase(const IndexFileStep::BaseValues& a, const IndexFileStep::BaseValues& b) {
    return a.record == b.record && a.id == b.id && a.url == b.url &&
           a.targetFrame == b.targetFrame && a.inUse == b.inUse;
}

bool SameTarget(const IndexFileStep::EntryTargets& a, const IndexFileStep::EntryTargets& b) {
    return a.entry == b.entry && a.baseUrl == b.baseUrl && a.targetFrame == b.targetFrame &&
           a.ownTarget == b.ownTarget && a.keywordTargets == b.keywordTargets;
}

} // namespace

IndexFileStep::State IndexFileStep::State::Of(const IndexFile& index, bool withTargets) {
    State state;
    state.description = index.m_description;
    state.tipText = index.m_tipText;
    for (const auto& record : index.m_baseUrls) {
        state.baseUrls.push_back(BaseValues{record.get(), record->m_id, record->m_url,
                                            record->m_targetFrame, record->m_inUse});
    }
    if (!withTargets) {
        return state;
    }
    std::vector<const IndexEntry*> pending{&index.m_root};
    while (!pending.empty()) {
        const IndexEntry* entry = pending.back();
        pending.pop_back();
        EntryTargets targets{const_cast<IndexEntry*>(entry),
                             entry->m_baseUrl,
                             entry->m_targetFrame,
                             entry->m_ownTarget,
                             {}};
        for (const IndexKeyword& keyword : entry->m_keywords) {
            targets.keywordTargets.emplace_back(keyword.m_targetFrame, keyword.m_ownTarget);
        }
        state.targets.push_back(std::move(targets));
        for (auto child = entry->m_children.rbegin(); child != entry->m_children.rend(); ++child) {
            pending.push_back(child->get());
        }
    }
    return state;
}

bool IndexFileStep::State::SameSettings(const State& other) const {
    if (description != other.description || tipText != other.tipText ||
        baseUrls.size() != other.baseUrls.size()) {
        return false;
    }
    for (std::size_t i = 0; i < baseUrls.size(); ++i) {
        if (!SameBase(baseUrls[i], other.baseUrls[i])) {
            return false;
        }
    }
    return true;
}

bool IndexFileStep::State::SameTargets(const State& other) const {
    if (targets.size() != other.targets.size()) {
        return false;
    }
    for (std::size_t i = 0; i < targets.size(); ++i) {
        if (!SameTarget(targets[i], other.targets[i])) {
            return false;
        }
    }
    return true;
}

std::size_t IndexFileStep::State::Bytes() const {
    std::size_t bytes = sizeof(*this) + description.size() + tipText.size();
    for (const BaseValues& base : baseUrls) {
        bytes += sizeof(base) + base.url.size() + base.targetFrame.size();
    }
    for (const EntryTargets& entry : targets) {
        bytes += sizeof(entry) + entry.targetFrame.size();
        for (const auto& keyword : entry.keywordTargets) {
            bytes += sizeof(keyword) + keyword.first.size();
        }
    }
    return bytes;
}

IndexFileStep::IndexFileStep(std::string name, IndexFile& index, State before, State after,
                             std::vector<std::unique_ptr<BaseUrl>> removed)
    : EditStep(std::move(name)), m_index(&index), m_before(std::move(before)),
      m_after(std::move(after)), m_owned(std::move(removed)) {
    // Targets are restored only when both sides carry them.
    if (m_before.targets.size() != m_after.targets.size() || m_before.SameTargets(m_after)) {
        m_before.targets.clear();
        m_after.targets.clear();
    }
}

IndexFileStep::~IndexFileStep() = default;

std::size_t IndexFileStep::Bytes() const {
    return sizeof(*this) + m_before.Bytes() + m_after.Bytes() + m_owned.size() * sizeof(BaseUrl);
}

void IndexFileStep::Apply(const State& state, EditObserver& observer) {
    m_index->m_description = state.description;
    m_index->m_tipText = state.tipText;
    // The list first, so that the targets below never name a record outside it.
    ApplyBaseUrls(state);
    for (const EntryTargets& targets : state.targets) {
        IndexEntry& entry = *targets.entry;
        entry.m_baseUrl = targets.baseUrl;
        entry.m_targetFrame = targets.targetFrame;
        entry.m_ownTarget = targets.ownTarget;
        for (std::size_t i = 0; i < entry.m_keywords.size() && i < targets.keywordTargets.size();
             ++i) {
            entry.m_keywords[i].m_targetFrame = targets.keywordTargets[i].first;
            entry.m_keywords[i].m_ownTarget = targets.keywordTargets[i].second;
        }
    }
    observer.FileChanged();
}

void IndexFileStep::ApplyBaseUrls(const State& state) {
    std::unordered_map<BaseUrl*, std::unique_ptr<BaseUrl>> records;
    for (auto& record : m_index->m_baseUrls) {
        BaseUrl* key = record.get();
        records.emplace(key, std::move(record));
    }
    for (auto& record : m_owned) {
        BaseUrl* key = record.get();
        records.emplace(key, std::move(record));
    }
    m_index->m_baseUrls.clear();
    m_owned.clear();
    for (const BaseValues& values : state.baseUrls) {
        auto found = records.find(values.record);
        if (found == records.end()) {
            continue;
        }
        BaseUrl& record = *found->second;
        record.m_id = values.id;
        record.m_url = values.url;
        record.m_targetFrame = values.targetFrame;
        record.m_inUse = values.inUse;
        m_index->m_baseUrls.push_back(std::move(found->second));
        records.erase(found);
    }
    // Kept in a stable order: the records this side of the step does not list.
    for (auto& [key, record] : records) {
        m_owned.push_back(std::move(record));
    }
}

} // namespace tamblin
