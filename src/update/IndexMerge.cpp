#include "update/IndexMerge.h"

#include "index/BaseUrl.h"
#include "index/IndexEntry.h"
#include "index/IndexFile.h"
#include "index/ScanMark.h"
#include "scanner/LocationKey.h"

#include <algorithm>
#include <cstdint>
#include <unordered_set>

namespace tamblin {

namespace {

// Every entry below root with its parent, parents first, in the order the file lists them.
template <class Entry, class Visit> void PreOrder(Entry& root, Visit&& visit) {
    std::vector<std::pair<Entry*, Entry*>> stack;
    for (auto it = root.m_children.rbegin(); it != root.m_children.rend(); ++it) {
        stack.emplace_back(it->get(), &root);
    }
    while (!stack.empty()) {
        auto [entry, parent] = stack.back();
        stack.pop_back();
        visit(*entry, *parent);
        for (auto it = entry->m_children.rbegin(); it != entry->m_children.rend(); ++it) {
            stack.emplace_back(it->get(), entry);
        }
    }
}

std::vector<std::uint64_t> SortedHashes(const IndexEntry& entry) {
    std::vector<std::uint64_t> hashes;
    hashes.reserve(entry.m_keywords.size());
    for (const IndexKeyword& keyword : entry.m_keywords) {
        hashes.push_back(ScanMark::HashKeyword(keyword));
    }
    std::sort(hashes.begin(), hashes.end());
    return hashes;
}

bool Holds(const std::vector<std::uint64_t>& sorted, std::uint64_t hash) {
    return std::binary_search(sorted.begin(), sorted.end(), hash);
}

// The positions of the entry's keywords that the last scan gave it, as its mark tells; none
// without a mark, where every keyword counts as the author's.
std::vector<std::size_t> ScanKeywordPositions(const IndexEntry& entry) {
    std::vector<std::size_t> positions;
    if (!entry.m_scanMark) {
        return positions;
    }
    std::vector<std::uint64_t> given = entry.m_scanMark->keywords;
    std::sort(given.begin(), given.end());
    for (std::size_t i = 0; i < entry.m_keywords.size(); ++i) {
        if (Holds(given, ScanMark::HashKeyword(entry.m_keywords[i]))) {
            positions.push_back(i);
        }
    }
    return positions;
}

std::string_view EffectiveTarget(const IndexEntry& entry) {
    return entry.m_ownTarget ? std::string_view(entry.m_targetFrame) : std::string_view();
}

} // namespace

IndexMerge::IndexMerge(IndexEntry& root, const std::vector<std::unique_ptr<BaseUrl>>& baseUrls,
                       const IndexFile& scanned, bool caseSignificant)
    : m_root(root), m_scanned(scanned), m_caseSignificant(caseSignificant) {
    for (const auto& baseUrl : baseUrls) {
        m_baseByText.emplace(baseUrl->m_url, baseUrl.get());
    }
    IndexCurrent();
    std::unordered_set<std::string> seen;
    seen.reserve(m_current.size() + 16);
    PreOrder(scanned.m_root, [&](const IndexEntry& entry, const IndexEntry& parent) {
        if (entry.FullUrl().empty()) {
            return;
        }
        std::string key = Key(entry);
        if (!seen.insert(key).second) {
            return;
        }
        auto found = m_current.find(key);
        if (found != m_current.end()) {
            PlanMatched(*found->second.entry, found->second.parent, entry, &parent);
            return;
        }
        MergeChange change{MergeChange::Kind::PageAdded, entry.FullUrl(), entry.m_title, "",
                           &parent == &scanned.m_root ? "" : parent.FullUrl()};
        Add(std::move(change), {nullptr, &entry, 0, &parent});
    });
    for (auto& [entry, key] : m_currentOrder) {
        if (seen.count(key) == 0 && (entry->m_scanMark || !m_hasMarks)) {
            MergeChange change{MergeChange::Kind::PageGone, entry->FullUrl(), entry->m_title, "",
                               ""};
            change.apply = false;
            change.scanKeywords = static_cast<int>(ScanKeywordPositions(*entry).size());
            Add(std::move(change), {entry, nullptr, 0, nullptr});
        }
    }
}

std::string IndexMerge::Key(const IndexEntry& entry) const {
    return LocationKey::OfUrl(entry.FullUrl(), m_caseSignificant);
}

void IndexMerge::IndexCurrent() {
    PreOrder(m_root, [&](IndexEntry& entry, IndexEntry&) {
        m_hasMarks = m_hasMarks || entry.m_scanMark.has_value();
    });
    PreOrder(m_root, [&](IndexEntry& entry, IndexEntry& parent) {
        if (entry.FullUrl().empty()) {
            ++m_result.authorEditsKept; // a heading of the author's
            return;
        }
        if (m_hasMarks && !entry.m_scanMark) {
            ++m_result.authorEditsKept; // an entry the author made
        }
        std::string key = Key(entry);
        m_current.emplace(key, Placed{&entry, &parent});
        m_currentOrder.emplace_back(&entry, std::move(key));
    });
}

void IndexMerge::Add(MergeChange change, Target target) {
    m_result.changes.push_back(std::move(change));
    m_targets.push_back(target);
}

void IndexMerge::PlanMatched(IndexEntry& current, const IndexEntry* currentParent,
                             const IndexEntry& scanned, const IndexEntry* scannedParent) {
    m_matched.emplace_back(&current, &scanned);
    const bool authorTitle = current.m_scanMark
                                 ? current.m_scanMark->title != ScanMark::HashText(current.m_title)
                                 : current.m_title != scanned.m_title;
    if (authorTitle) {
        ++m_result.authorEditsKept;
    } else if (current.m_title != scanned.m_title) {
        Add({MergeChange::Kind::PageRetitled, current.FullUrl(), current.m_title, current.m_title,
             scanned.m_title},
            {&current, &scanned, 0, scannedParent});
    }
    PlanKeywords(current, scanned);
    if (!SamePlace(currentParent, scannedParent)) {
        ++m_result.authorEditsKept;
    }
    m_result.authorEditsKept += KeptSettings(current, scanned);
}

// Without a mark every keyword of the entry counts as the author's; a scan keyword is
// offered only when the entry lacks it.
void IndexMerge::PlanKeywords(IndexEntry& current, const IndexEntry& scanned) {
    const std::vector<std::uint64_t> fresh = SortedHashes(scanned);
    const std::vector<std::uint64_t> present = SortedHashes(current);
    std::vector<std::uint64_t> last;
    if (current.m_scanMark) {
        last = current.m_scanMark->keywords;
        std::sort(last.begin(), last.end());
    }
    for (std::size_t i = 0; i < current.m_keywords.size(); ++i) {
        const IndexKeyword& keyword = current.m_keywords[i];
        std::uint64_t hash = ScanMark::HashKeyword(keyword);
        if (Holds(last, hash)) {
            if (!Holds(fresh, hash)) {
                Add({MergeChange::Kind::KeywordRemoved, current.FullUrl(), current.m_title,
                     keyword.m_phrase, ""},
                    {&current, &scanned, i, nullptr});
            }
        } else if (current.m_scanMark || !Holds(fresh, hash)) {
            ++m_result.authorEditsKept;
        }
    }
    for (std::uint64_t hash : last) {
        if (!Holds(present, hash)) {
            ++m_result.authorEditsKept; // a scan keyword the author deleted stays deleted
        }
    }
    for (std::size_t i = 0; i < scanned.m_keywords.size(); ++i) {
        std::uint64_t hash = ScanMark::HashKeyword(scanned.m_keywords[i]);
        if (!Holds(present, hash) && !Holds(last, hash)) {
            Add({MergeChange::Kind::KeywordAdded, current.FullUrl(), current.m_title, "",
                 scanned.m_keywords[i].m_phrase},
                {&current, &scanned, i, nullptr});
        }
    }
}

int IndexMerge::KeptSettings(const IndexEntry& current, const IndexEntry& scanned) const {
    int kept = current.m_inContents != scanned.m_inContents ? 1 : 0;
    kept += current.m_pageTip != scanned.m_pageTip ? 1 : 0;
    kept += current.m_iconUrl != scanned.m_iconUrl ? 1 : 0;
    kept += EffectiveTarget(current) != EffectiveTarget(scanned) ? 1 : 0;
    return kept;
}

bool IndexMerge::SamePlace(const IndexEntry* currentParent, const IndexEntry* scannedParent) const {
    if (scannedParent == &m_scanned.m_root) {
        return currentParent == &m_root;
    }
    auto found = m_current.find(Key(*scannedParent));
    return found != m_current.end() && found->second.entry == currentParent;
}

void IndexMerge::Apply() {
    if (m_applied) {
        return;
    }
    m_applied = true;
    std::unordered_map<IndexEntry*, std::vector<std::size_t>> dropped;
    std::vector<const Target*> addedKeywords;
    std::vector<const Target*> addedPages;
    std::vector<IndexEntry*> gone;
    for (std::size_t i = 0; i < m_result.changes.size(); ++i) {
        const MergeChange& change = m_result.changes[i];
        const Target& target = m_targets[i];
        switch (change.kind) {
        case MergeChange::Kind::PageRetitled:
            if (change.apply) {
                target.current->m_title = target.scanned->m_title;
            }
            break;
        case MergeChange::Kind::KeywordRemoved:
            if (change.apply) {
                dropped[target.current].push_back(target.keyword);
            }
            break;
        case MergeChange::Kind::KeywordAdded:
            if (change.apply) {
                addedKeywords.push_back(&target);
            }
            break;
        case MergeChange::Kind::PageAdded:
            if (change.apply) {
                addedPages.push_back(&target);
            }
            break;
        case MergeChange::Kind::PageGone:
            if (change.apply) {
                gone.push_back(target.current);
                break;
            }
            // Kept: the keywords the scan gave it go, as a page of the site would lose them.
            // The mark forgets them too, so should the page come back they are offered again.
            if (std::vector<std::size_t> positions = ScanKeywordPositions(*target.current);
                !positions.empty()) {
                std::vector<std::size_t>& list = dropped[target.current];
                list.insert(list.end(), positions.begin(), positions.end());
                target.current->m_scanMark->keywords.clear();
            }
            if (target.current->m_children.empty()) {
                // An entry with entries below it stays in the contents: out of it, the
                // file would take those entries out too when it is read again.
                target.current->m_inContents = 0;
            }
            break;
        }
    }
    for (auto& [entry, positions] : dropped) {
        std::sort(positions.begin(), positions.end());
        std::vector<IndexKeyword> kept;
        kept.reserve(entry->m_keywords.size());
        for (std::size_t i = 0; i < entry->m_keywords.size(); ++i) {
            if (!std::binary_search(positions.begin(), positions.end(), i)) {
                kept.push_back(std::move(entry->m_keywords[i]));
            }
        }
        entry->m_keywords = std::move(kept);
    }
    for (const Target* target : addedKeywords) {
        IndexKeyword keyword = target->scanned->m_keywords[target->keyword];
        keyword.m_owner = target->current;
        target->current->m_keywords.push_back(std::move(keyword));
    }
    for (auto& [current, scanned] : m_matched) {
        current->m_scanMark = ScanMark::Of(*scanned);
    }
    for (const Target* target : addedPages) {
        AddPage(*target);
    }
    RemoveEntries(gone);
}

std::unique_ptr<IndexEntry> IndexMerge::NewEntry(const IndexEntry& scanned) const {
    BaseUrl* baseUrl = nullptr;
    std::string url = scanned.m_url;
    if (scanned.m_baseUrl) {
        auto found = m_baseByText.find(scanned.m_baseUrl->m_url);
        if (found != m_baseByText.end()) {
            baseUrl = found->second;
        } else {
            url = scanned.m_baseUrl->m_url + url;
        }
    }
    auto entry =
        std::make_unique<IndexEntry>(0, baseUrl, url, scanned.m_title, scanned.m_targetFrame,
                                     scanned.m_ownTarget, scanned.m_iconUrl, scanned.m_inContents);
    entry->m_pageTip = scanned.m_pageTip;
    entry->m_keywords = scanned.m_keywords;
    for (IndexKeyword& keyword : entry->m_keywords) {
        keyword.m_owner = entry.get();
    }
    entry->m_scanMark = ScanMark::Of(scanned);
    return entry;
}

// Under the entry of the page that links to it, as the scan placed it, after the children
// that entry already has; at the end of the top level when that page has no entry.
void IndexMerge::AddPage(const Target& target) {
    IndexEntry* parent = &m_root;
    if (target.scannedParent != &m_scanned.m_root) {
        auto found = m_current.find(Key(*target.scannedParent));
        if (found != m_current.end()) {
            parent = found->second.entry;
        }
    }
    std::unique_ptr<IndexEntry> entry = NewEntry(*target.scanned);
    IndexEntry* added = entry.get();
    parent->AppendChild(std::move(entry));
    m_current.emplace(Key(*target.scanned), Placed{added, parent});
}

// A removed entry's children take its place, so pages still there keep as near their place
// as they can.
void IndexMerge::RemoveEntries(const std::vector<IndexEntry*>& gone) {
    if (gone.empty()) {
        return;
    }
    const std::unordered_set<IndexEntry*> removing(gone.begin(), gone.end());
    std::vector<IndexEntry*> parents{&m_root};
    while (!parents.empty()) {
        IndexEntry* parent = parents.back();
        parents.pop_back();
        std::vector<std::unique_ptr<IndexEntry>> work;
        for (auto it = parent->m_children.rbegin(); it != parent->m_children.rend(); ++it) {
            work.push_back(std::move(*it));
        }
        parent->m_children.clear();
        while (!work.empty()) {
            std::unique_ptr<IndexEntry> child = std::move(work.back());
            work.pop_back();
            if (removing.count(child.get()) == 0) {
                parents.push_back(child.get());
                parent->m_children.push_back(std::move(child));
                continue;
            }
            for (auto it = child->m_children.rbegin(); it != child->m_children.rend(); ++it) {
                work.push_back(std::move(*it));
            }
            child->m_children.clear();
        }
    }
}

void IndexMerge::MarkScanned(IndexEntry& root) {
    PreOrder(root, [](IndexEntry& entry, IndexEntry&) { entry.m_scanMark = ScanMark::Of(entry); });
}

} // namespace tamblin
