#pragma once

#include "update/MergeChange.h"

#include <cstddef>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace tamblin {

class BaseUrl;
class IndexEntry;
class IndexFile;

// Brings an index up to date with a new scan of its site while keeping the author's work.
// A page is the same page when its full URL gives the same LocationKey. Titles and keywords
// are the author's when they differ from what the last scan gave (the entries' ScanMark);
// an index without any mark is an old one, whose titles and keywords all count as the
// author's. The constructor works out the changes; the caller may clear their apply flags,
// then Apply makes the rest. Everything is looked up by key, so the work is linear.
class IndexMerge final {
public:
    // root: the contents to update (an index's root, or a copy of it to swap in later);
    // baseUrls: the records new entries may use; scanned: the new scan, loaded.
    IndexMerge(IndexEntry& root, const std::vector<std::unique_ptr<BaseUrl>>& baseUrls,
               const IndexFile& scanned, bool caseSignificant);
    IndexMerge(const IndexMerge&) = delete;
    IndexMerge& operator=(const IndexMerge&) = delete;

    MergeResult& Result() { return m_result; }
    const MergeResult& Result() const { return m_result; }
    // Makes the changes whose apply flag is set, once, and marks every entry the scan
    // matched or added with what this scan gave it.
    void Apply();

    // Marks every entry under root with what it holds now: called on a scan's own result.
    static void MarkScanned(IndexEntry& root);

private:
    struct Placed {
        IndexEntry* entry;
        const IndexEntry* parent;
    };
    // What a change acts on: the entry of the index, the scan's entry and, for keywords, the
    // position in the list it comes from.
    struct Target {
        IndexEntry* current = nullptr;
        const IndexEntry* scanned = nullptr;
        std::size_t keyword = 0;
        const IndexEntry* scannedParent = nullptr;
    };

    void IndexCurrent();
    void PlanMatched(IndexEntry& current, const IndexEntry* currentParent,
                     const IndexEntry& scanned, const IndexEntry* scannedParent);
    // The title keywords of a matched entry and of its scan, when both have one.
    struct TitlePair {
        std::size_t current;
        std::size_t scanned;
    };
    void PlanKeywords(IndexEntry& current, const IndexEntry& scanned, const TitlePair& title);
    // What Apply does once every change has been looked at: the order of the edits matters.
    struct Accepted {
        std::unordered_map<IndexEntry*, std::vector<std::size_t>> dropped;
        std::vector<const Target*> addedKeywords;
        std::vector<const Target*> addedPages;
        std::vector<IndexEntry*> gone;
    };
    void Accept(MergeChange::Kind kind, const Target& target, Accepted& accepted);
    void KeepGonePage(IndexEntry& entry, Accepted& accepted);
    static void DropKeywords(IndexEntry& entry, std::vector<std::size_t>& positions);
    void InsertKeywords(const std::vector<const Target*>& added);
    int KeptSettings(const IndexEntry& current, const IndexEntry& scanned) const;
    bool SamePlace(const IndexEntry* currentParent, const IndexEntry* scannedParent) const;
    void Add(MergeChange change, Target target);
    std::unique_ptr<IndexEntry> NewEntry(const IndexEntry& scanned) const;
    void AddPage(const Target& target);
    void RemoveEntries(const std::vector<IndexEntry*>& gone);
    std::string Key(const IndexEntry& entry) const;

    IndexEntry& m_root;
    const IndexFile& m_scanned;
    bool m_caseSignificant;
    bool m_hasMarks = false;
    bool m_applied = false;
    std::unordered_map<std::string, Placed> m_current;
    std::vector<std::pair<IndexEntry*, std::string>> m_currentOrder; // entries with a URL
    std::unordered_map<std::string, BaseUrl*> m_baseByText;
    std::vector<std::pair<IndexEntry*, const IndexEntry*>> m_matched;
    MergeResult m_result;
    std::vector<Target> m_targets; // one for each change
};

} // namespace tamblin
