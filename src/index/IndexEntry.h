#pragma once

#include "index/IndexKeyword.h"
#include "index/ScanMark.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tamblin {

class BaseUrl;

// The tree view's node for an entry, opaque here. The two markers below are never the
// handle of a real node.
using NodeHandle = const void*;
extern const NodeHandle kFirstPosition;
extern const NodeHandle kLastPosition;

// One node of the contents tree. Deep trees are walked with explicit stacks, so a file of
// any depth neither overflows the stack when it is read, written, copied or destroyed.
class IndexEntry {
public:
    IndexEntry() = default;
    IndexEntry(int id, BaseUrl* baseUrl, std::string url, std::string title,
               std::string targetFrame, int ownTarget, std::string iconUrl, int inContents);
    ~IndexEntry();
    IndexEntry(const IndexEntry&) = delete;
    IndexEntry& operator=(const IndexEntry&) = delete;

    IndexEntry* FindById(int id);
    // Deep copy with ids 0 and empty id texts; keyword owners point into the copy.
    std::unique_ptr<IndexEntry> Clone() const;
    void ClearContents();
    // Takes the first child shown by `handle` out of the list; null when there is none.
    std::unique_ptr<IndexEntry> RemoveChildByNode(NodeHandle handle);
    // `after` is kFirstPosition, kLastPosition or the node handle of one of parent's
    // children; an unknown handle appends.
    static void InsertInto(std::unique_ptr<IndexEntry> entry, IndexEntry& parent, NodeHandle after);
    void AppendChild(std::unique_ptr<IndexEntry> child);
    void CountUrlsAndKeywords(int& urls, int& keywords) const;
    int SetBaseForAll(BaseUrl* newBase);
    std::string KeywordSummary() const;
    // Base URL text, then the URL.
    std::string FullUrl() const;

    int m_id = 0;
    std::string m_idText;
    int m_inContents = 1;
    BaseUrl* m_baseUrl = nullptr;
    std::string m_url;
    std::string m_title;
    std::string m_targetFrame;
    int m_ownTarget = 0;
    std::string m_iconUrl;
    std::string m_pageTip;
    std::vector<IndexKeyword> m_keywords;
    std::vector<std::unique_ptr<IndexEntry>> m_children;
    NodeHandle m_node = nullptr;
    int m_expanded = 0;
    int m_selected = 0;
    int m_printLineCount = 0;
    // Set on entries a scan made: what that scan gave them (see ScanMark).
    std::optional<ScanMark> m_scanMark;
};

} // namespace tamblin
