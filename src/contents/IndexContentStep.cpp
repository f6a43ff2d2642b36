#include "contents/IndexContentStep.h"

#include "contents/EditObserver.h"
#include "index/IndexEntry.h"
#include "index/IndexFile.h"

namespace tamblin {

namespace {

template <class Visit>
void ForEachEntry(std::vector<std::unique_ptr<IndexEntry>>& top, Visit&& visit) {
    std::vector<IndexEntry*> stack;
    for (auto& entry : top) {
        stack.push_back(entry.get());
    }
    while (!stack.empty()) {
        IndexEntry* entry = stack.back();
        stack.pop_back();
        visit(*entry);
        for (auto& child : entry->m_children) {
            stack.push_back(child.get());
        }
    }
}

} // namespace

IndexContentStep::IndexContentStep(std::string name, IndexFile& index,
                                   std::vector<std::unique_ptr<IndexEntry>> contents,
                                   std::string scanSource)
    : EditStep(std::move(name)), m_index(&index), m_other(std::move(contents)),
      m_otherScanSource(std::move(scanSource)) {
    ForEachEntry(m_other, [this](IndexEntry& entry) {
        m_bytes += sizeof(IndexEntry) + entry.m_title.size() + entry.m_url.size() +
                   entry.m_keywords.size() * (sizeof(IndexKeyword) + 16);
    });
    // Both sides are alive at once, so count the entries twice.
    m_bytes *= 2;
}

IndexContentStep::~IndexContentStep() = default;

void IndexContentStep::Swap(EditObserver& observer) {
    std::swap(m_index->m_root.m_children, m_other);
    std::swap(m_index->m_scanSource, m_otherScanSource);
    // The entries put aside no longer have nodes once the view follows.
    ForEachEntry(m_other, [](IndexEntry& entry) { entry.m_node = nullptr; });
    observer.ChildrenRearranged(m_index->m_root);
}

} // namespace tamblin
