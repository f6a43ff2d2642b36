#include "keywords/KeywordEditor.h"

#include "index/IndexEntry.h"

#include <set>
#include <tuple>
#include <unordered_map>

namespace tamblin {

namespace {

// The positions each owner has among `refs`, owners in the order first met.
std::vector<std::pair<IndexEntry*, std::vector<std::size_t>>>
ByOwner(std::span<const KeywordRef> refs) {
    std::vector<std::pair<IndexEntry*, std::vector<std::size_t>>> owners;
    std::unordered_map<IndexEntry*, std::size_t> place;
    for (const KeywordRef& ref : refs) {
        auto [at, added] = place.try_emplace(ref.owner, owners.size());
        if (added) {
            owners.push_back({ref.owner, {}});
        }
        owners[at->second].second.push_back(ref.position);
    }
    return owners;
}

using Sameness = std::tuple<std::string, std::string, std::string, std::string, int>;

Sameness SamenessOf(const IndexKeyword& keyword) {
    return {keyword.m_phrase, keyword.m_anchor, keyword.m_extraTitle, keyword.m_targetFrame,
            keyword.m_ownTarget};
}

// The list with the keywords at `changed` renamed to `bytes`; a renamed keyword equal in
// every field to one the list keeps is left out. Keywords that were not renamed all stay.
std::vector<IndexKeyword> Renamed(const std::vector<IndexKeyword>& before,
                                  const std::vector<std::size_t>& changed,
                                  const std::string& bytes) {
    std::vector<bool> isChanged(before.size(), false);
    for (std::size_t position : changed) {
        isChanged[position] = true;
    }
    std::set<Sameness> kept;
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (!isChanged[i] && before[i].m_phrase == bytes) {
            kept.insert(SamenessOf(before[i]));
        }
    }
    std::vector<IndexKeyword> after;
    after.reserve(before.size());
    for (std::size_t i = 0; i < before.size(); ++i) {
        IndexKeyword keyword = before[i];
        if (isChanged[i]) {
            keyword.m_phrase = bytes;
            if (!kept.insert(SamenessOf(keyword)).second) {
                continue;
            }
        }
        after.push_back(std::move(keyword));
    }
    return after;
}

bool SameList(const std::vector<IndexKeyword>& a, const std::vector<IndexKeyword>& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (SamenessOf(a[i]) != SamenessOf(b[i])) {
            return false;
        }
    }
    return true;
}

} // namespace

KeywordEditor::PhraseCheck KeywordEditor::CheckPhrase(std::u16string_view phrase,
                                                      std::string& bytes) const {
    if (phrase.empty()) {
        return PhraseCheck::Empty;
    }
    for (char16_t unit : phrase) {
        if (unit == u';' || unit == u'\r' || unit == u'\n') {
            return PhraseCheck::Unwritable;
        }
    }
    return m_index.Encode(phrase, bytes) ? PhraseCheck::Ok : PhraseCheck::NotEncodable;
}

std::unique_ptr<KeywordListsStep> KeywordEditor::Rename(const KeywordGroup& group,
                                                        const std::string& bytes) const {
    if (bytes == group.bytes) {
        return nullptr;
    }
    return ChangePhrase(group.refs, bytes, "Rename keyword '" + std::string(group.bytes) + "'");
}

std::unique_ptr<KeywordListsStep> KeywordEditor::Move(const std::vector<KeywordRef>& refs,
                                                      const std::string& bytes) const {
    return ChangePhrase(refs, bytes, "Move to keyword '" + bytes + "'");
}

std::unique_ptr<KeywordListsStep> KeywordEditor::ChangePhrase(std::span<const KeywordRef> refs,
                                                              const std::string& bytes,
                                                              std::string name) const {
    std::vector<KeywordListsStep::Change> changes;
    for (auto& [owner, positions] : ByOwner(refs)) {
        std::vector<IndexKeyword> after = Renamed(owner->m_keywords, positions, bytes);
        if (!SameList(after, owner->m_keywords)) {
            changes.push_back(KeywordListsStep::Change{owner, owner->m_keywords, std::move(after)});
        }
    }
    if (changes.empty()) {
        return nullptr;
    }
    return std::make_unique<KeywordListsStep>(std::move(name), std::move(changes));
}

std::unique_ptr<KeywordListsStep> KeywordEditor::Remove(const KeywordGroup& group) const {
    std::vector<KeywordListsStep::Change> changes;
    for (auto& [owner, positions] : ByOwner(group.refs)) {
        std::vector<bool> gone(owner->m_keywords.size(), false);
        for (std::size_t position : positions) {
            gone[position] = true;
        }
        std::vector<IndexKeyword> after;
        for (std::size_t i = 0; i < owner->m_keywords.size(); ++i) {
            if (!gone[i]) {
                after.push_back(owner->m_keywords[i]);
            }
        }
        changes.push_back(KeywordListsStep::Change{owner, owner->m_keywords, std::move(after)});
    }
    if (changes.empty()) {
        return nullptr;
    }
    return std::make_unique<KeywordListsStep>("Remove keyword '" + std::string(group.bytes) + "'",
                                              std::move(changes));
}

} // namespace tamblin
