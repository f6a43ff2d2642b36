#pragma once

#include "contents/EditStep.h"
#include "index/IndexKeyword.h"

#include <cstddef>
#include <string>
#include <vector>

namespace tamblin {

class IndexEntry;

// An edit of the keyword index as a whole (a phrase renamed or removed everywhere, a page
// moved to another phrase): the keyword lists of every entry it touched, before and after.
// Entries, their order and their other fields stay as they are.
class KeywordListsStep final : public EditStep {
public:
    struct Change {
        IndexEntry* entry = nullptr;
        std::vector<IndexKeyword> before;
        std::vector<IndexKeyword> after;
    };

    KeywordListsStep(std::string name, std::vector<Change> changes);

    void Undo(EditObserver& observer) override;
    void Redo(EditObserver& observer) override;
    std::size_t Bytes() const override { return m_bytes; }
    std::size_t ChangeCount() const { return m_changes.size(); }

private:
    std::vector<Change> m_changes;
    std::vector<IndexEntry*> m_entries; // of the changes, for the observer
    std::size_t m_bytes = 0;
};

} // namespace tamblin
