#include "keywords/KeywordListsStep.h"

#include "contents/EditObserver.h"
#include "index/IndexEntry.h"

namespace tamblin {

namespace {

std::size_t ListBytes(const std::vector<IndexKeyword>& keywords) {
    std::size_t bytes = 0;
    for (const IndexKeyword& keyword : keywords) {
        bytes += sizeof(keyword) + keyword.m_phrase.size() + keyword.m_anchor.size() +
                 keyword.m_extraTitle.size() + keyword.m_targetFrame.size();
    }
    return bytes;
}

} // namespace

KeywordListsStep::KeywordListsStep(std::string name, std::vector<Change> changes)
    : EditStep(std::move(name)), m_changes(std::move(changes)) {
    m_bytes = sizeof(*this);
    m_entries.reserve(m_changes.size());
    for (const Change& change : m_changes) {
        m_entries.push_back(change.entry);
        m_bytes += sizeof(change) + sizeof(change.entry) + ListBytes(change.before) +
                   ListBytes(change.after);
    }
}

void KeywordListsStep::Undo(EditObserver& observer) {
    for (Change& change : m_changes) {
        change.entry->m_keywords = change.before;
    }
    observer.KeywordsChanged(m_entries);
}

void KeywordListsStep::Redo(EditObserver& observer) {
    for (Change& change : m_changes) {
        change.entry->m_keywords = change.after;
    }
    observer.KeywordsChanged(m_entries);
}

} // namespace tamblin
