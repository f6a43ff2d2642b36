#pragma once

#include "contents/EditStep.h"

#include <cstddef>
#include <memory>
#include <string>

namespace tamblin {

class IndexEntry;

// An entry (with its subtree) that went from one place to another: a move, or, when one
// place is "nowhere", an insert, paste or copy (from nowhere) or a delete or cut (to
// nowhere). While the entry is nowhere the step owns it.
class EntryPlaceStep final : public EditStep {
public:
    struct Place {
        IndexEntry* parent = nullptr; // null: nowhere
        std::size_t position = 0;
    };

    // Made after the edit: `entry` stands at `to` now, or is `owned` when `to` is nowhere.
    EntryPlaceStep(std::string name, IndexEntry& entry, Place from, Place to,
                   std::unique_ptr<IndexEntry> owned = nullptr);
    ~EntryPlaceStep() override;

    void Undo(EditObserver& observer) override { Move(m_to, m_from, observer); }
    void Redo(EditObserver& observer) override { Move(m_from, m_to, observer); }
    std::size_t Bytes() const override { return m_bytes; }

    // Where `entry` stands among `parent`'s children (its size when it is not there).
    static std::size_t PositionIn(const IndexEntry& parent, const IndexEntry& entry);
    // Roughly what an entry subtree takes in memory.
    static std::size_t SubtreeBytes(const IndexEntry& entry);

private:
    void Move(const Place& source, const Place& target, EditObserver& observer);

    IndexEntry* m_entry;
    Place m_from;
    Place m_to;
    std::unique_ptr<IndexEntry> m_owned;
    std::size_t m_bytes;
};

} // namespace tamblin
