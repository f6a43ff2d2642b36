#pragma once

#include "contents/EditStep.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace tamblin {

class IndexEntry;
class IndexFile;

// A change of the whole contents at once, such as an update from the site: the step holds
// the other set of top-level entries (and the scan record that goes with them) and swaps
// them with the index's. Undo and redo are the same swap.
class IndexContentStep final : public EditStep {
public:
    // `contents` become the index's top level when the step is first redone.
    IndexContentStep(std::string name, IndexFile& index,
                     std::vector<std::unique_ptr<IndexEntry>> contents, std::string scanSource);
    ~IndexContentStep() override;

    void Undo(EditObserver& observer) override { Swap(observer); }
    void Redo(EditObserver& observer) override { Swap(observer); }
    std::size_t Bytes() const override { return m_bytes; }

private:
    void Swap(EditObserver& observer);

    IndexFile* m_index;
    std::vector<std::unique_ptr<IndexEntry>> m_other;
    std::string m_otherScanSource;
    std::size_t m_bytes = 0;
};

} // namespace tamblin
