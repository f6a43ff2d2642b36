#pragma once

#include <cstddef>
#include <span>

namespace tamblin {

class IndexEntry;

// Told by undo and redo what they change in the model, so a view can mirror it without a
// rebuild. Each call comes after the model has changed.
class EditObserver {
public:
    virtual ~EditObserver() = default;
    // `entry` was taken out of `parent`; its subtree is intact.
    virtual void EntryRemoved(IndexEntry& parent, IndexEntry& entry) = 0;
    // `entry` now stands at `position` among `parent`'s children.
    virtual void EntryInserted(IndexEntry& parent, std::size_t position, IndexEntry& entry) = 0;
    // The children of `parent` were rearranged in more than one place.
    virtual void ChildrenRearranged(IndexEntry& parent) = 0;
    // The entry's own fields (title, flags, keywords ...) changed.
    virtual void EntryChanged(IndexEntry& entry) = 0;
    // Description, tip text, base URLs, or the base URLs of many entries changed.
    virtual void FileChanged() = 0;
    // The keyword lists of `entries` changed, and nothing else; the tree shows no keywords,
    // so a view of titles has nothing to do.
    virtual void KeywordsChanged(std::span<IndexEntry* const> entries) { (void)entries; }
};

} // namespace tamblin
