#include "contents/EntryPlaceStep.h"

#include "contents/EditObserver.h"
#include "index/IndexEntry.h"

#include <vector>

namespace tamblin {

EntryPlaceStep::EntryPlaceStep(std::string name, IndexEntry& entry, Place from, Place to,
                               std::unique_ptr<IndexEntry> owned)
    : EditStep(std::move(name)), m_entry(&entry), m_from(from), m_to(to),
      m_owned(std::move(owned)) {
    // A move keeps nothing alive; a step that can hold the subtree counts all of it.
    m_bytes = sizeof(*this) + (from.parent && to.parent ? 0 : SubtreeBytes(entry));
}

EntryPlaceStep::~EntryPlaceStep() = default;

std::size_t EntryPlaceStep::PositionIn(const IndexEntry& parent, const IndexEntry& entry) {
    const auto& children = parent.m_children;
    for (std::size_t i = 0; i < children.size(); ++i) {
        if (children[i].get() == &entry) {
            return i;
        }
    }
    return children.size();
}

std::size_t EntryPlaceStep::SubtreeBytes(const IndexEntry& entry) {
    std::size_t bytes = 0;
    std::vector<const IndexEntry*> pending{&entry};
    while (!pending.empty()) {
        const IndexEntry* current = pending.back();
        pending.pop_back();
        bytes += sizeof(IndexEntry) + current->m_url.size() + current->m_title.size() +
                 current->m_targetFrame.size() + current->m_iconUrl.size() +
                 current->m_pageTip.size() + current->m_keywords.size() * sizeof(IndexKeyword);
        for (const IndexKeyword& keyword : current->m_keywords) {
            bytes += keyword.m_phrase.size() + keyword.m_anchor.size() +
                     keyword.m_extraTitle.size() + keyword.m_targetFrame.size();
        }
        for (const auto& child : current->m_children) {
            pending.push_back(child.get());
        }
    }
    return bytes;
}

void EntryPlaceStep::Move(const Place& source, const Place& target, EditObserver& observer) {
    std::unique_ptr<IndexEntry> moving;
    if (source.parent) {
        auto& children = source.parent->m_children;
        // Steps run in stack order, so the entry is where the step left it; the search is
        // only a guard against taking the wrong entry.
        std::size_t at =
            source.position < children.size() && children[source.position].get() == m_entry
                ? source.position
                : PositionIn(*source.parent, *m_entry);
        if (at == children.size()) {
            return;
        }
        moving = std::move(children[at]);
        children.erase(children.begin() + static_cast<std::ptrdiff_t>(at));
        observer.EntryRemoved(*source.parent, *m_entry);
    } else {
        moving = std::move(m_owned);
    }
    if (!moving) {
        return;
    }
    if (!target.parent) {
        m_owned = std::move(moving);
        return;
    }
    auto& children = target.parent->m_children;
    std::size_t at = target.position < children.size() ? target.position : children.size();
    children.insert(children.begin() + static_cast<std::ptrdiff_t>(at), std::move(moving));
    observer.EntryInserted(*target.parent, at, *m_entry);
}

} // namespace tamblin
