#include "contents/FlattenStep.h"

#include "contents/EditObserver.h"
#include "contents/EntryPlaceStep.h"
#include "index/IndexEntry.h"

#include <iterator>

namespace tamblin {

FlattenStep::FlattenStep(std::string name, IndexEntry& parent, IndexEntry& entry, std::size_t count)
    : EditStep(std::move(name)), m_parent(&parent), m_entry(&entry), m_count(count) {}

void FlattenStep::Undo(EditObserver& observer) {
    auto& siblings = m_parent->m_children;
    std::size_t row = EntryPlaceStep::PositionIn(*m_parent, *m_entry);
    if (row == siblings.size() || !m_entry->m_children.empty()) {
        return;
    }
    auto first = siblings.begin() + static_cast<std::ptrdiff_t>(row + 1);
    std::size_t available = siblings.size() - row - 1;
    auto last = first + static_cast<std::ptrdiff_t>(m_count < available ? m_count : available);
    m_entry->m_children.assign(std::make_move_iterator(first), std::make_move_iterator(last));
    siblings.erase(first, last);
    observer.ChildrenRearranged(*m_parent);
}

void FlattenStep::Redo(EditObserver& observer) {
    auto& siblings = m_parent->m_children;
    std::size_t row = EntryPlaceStep::PositionIn(*m_parent, *m_entry);
    if (row == siblings.size()) {
        return;
    }
    auto children = std::move(m_entry->m_children);
    m_entry->m_children.clear();
    siblings.insert(siblings.begin() + static_cast<std::ptrdiff_t>(row + 1),
                    std::make_move_iterator(children.begin()),
                    std::make_move_iterator(children.end()));
    observer.ChildrenRearranged(*m_parent);
}

} // namespace tamblin
