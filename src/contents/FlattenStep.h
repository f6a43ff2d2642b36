#pragma once

#include "contents/EditStep.h"

#include <cstddef>
#include <string>

namespace tamblin {

class IndexEntry;

// Flatten: the `count` children of `entry` became the siblings right after it under `parent`.
class FlattenStep final : public EditStep {
public:
    FlattenStep(std::string name, IndexEntry& parent, IndexEntry& entry, std::size_t count);

    void Undo(EditObserver& observer) override;
    void Redo(EditObserver& observer) override;
    std::size_t Bytes() const override { return sizeof(*this); }

private:
    IndexEntry* m_parent;
    IndexEntry* m_entry;
    std::size_t m_count;
};

} // namespace tamblin
