#include "index/IndexEntry.h"

#include "index/BaseUrl.h"

#include <utility>

namespace tamblin {

namespace {
const char kFirstMarker = 0;
const char kLastMarker = 0;
} // namespace

const NodeHandle kFirstPosition = &kFirstMarker;
const NodeHandle kLastPosition = &kLastMarker;

IndexEntry::IndexEntry(int id, BaseUrl* baseUrl, std::string url, std::string title,
                       std::string targetFrame, int ownTarget, std::string iconUrl, int inContents)
    : m_id(id), m_inContents(inContents), m_baseUrl(baseUrl), m_url(std::move(url)),
      m_title(std::move(title)), m_targetFrame(std::move(targetFrame)), m_ownTarget(ownTarget),
      m_iconUrl(std::move(iconUrl)) {
    if (m_baseUrl) {
        m_baseUrl->m_inUse = 1;
    }
}

IndexEntry::~IndexEntry() {
    // Unlink the subtree first, so each destructor below finds no children of its own.
    std::vector<std::unique_ptr<IndexEntry>> pending = std::move(m_children);
    while (!pending.empty()) {
        std::unique_ptr<IndexEntry> entry = std::move(pending.back());
        pending.pop_back();
        for (auto& child : entry->m_children) {
            pending.push_back(std::move(child));
        }
        entry->m_children.clear();
    }
}

IndexEntry* IndexEntry::FindById(int id) {
    std::vector<IndexEntry*> stack{this};
    while (!stack.empty()) {
        IndexEntry* entry = stack.back();
        stack.pop_back();
        if (entry->m_id == id) {
            return entry;
        }
        for (auto it = entry->m_children.rbegin(); it != entry->m_children.rend(); ++it) {
            stack.push_back(it->get());
        }
    }
    return nullptr;
}

namespace {

std::unique_ptr<IndexEntry> CopyNode(const IndexEntry& source) {
    auto copy = std::make_unique<IndexEntry>(0, source.m_baseUrl, source.m_url, source.m_title,
                                             source.m_targetFrame, source.m_ownTarget,
                                             source.m_iconUrl, source.m_inContents);
    copy->m_pageTip = source.m_pageTip;
    copy->m_node = source.m_node;
    copy->m_expanded = source.m_expanded;
    copy->m_selected = source.m_selected;
    copy->m_scanMark = source.m_scanMark;
    copy->m_keywords = source.m_keywords;
    for (IndexKeyword& keyword : copy->m_keywords) {
        keyword.m_owner = copy.get();
    }
    return copy;
}

} // namespace

std::unique_ptr<IndexEntry> IndexEntry::Clone() const {
    std::unique_ptr<IndexEntry> root = CopyNode(*this);
    std::vector<std::pair<const IndexEntry*, IndexEntry*>> stack{{this, root.get()}};
    while (!stack.empty()) {
        auto [source, copy] = stack.back();
        stack.pop_back();
        for (const auto& child : source->m_children) {
            copy->m_children.push_back(CopyNode(*child));
        }
        for (size_t i = 0; i < source->m_children.size(); ++i) {
            stack.emplace_back(source->m_children[i].get(), copy->m_children[i].get());
        }
    }
    return root;
}

void IndexEntry::ClearContents() {
    IndexEntry discard;
    discard.m_children = std::move(m_children);
    m_children.clear();
    m_keywords.clear();
    m_node = nullptr;
}

std::unique_ptr<IndexEntry> IndexEntry::RemoveChildByNode(NodeHandle handle) {
    for (auto it = m_children.begin(); it != m_children.end(); ++it) {
        if ((*it)->m_node == handle) {
            std::unique_ptr<IndexEntry> child = std::move(*it);
            m_children.erase(it);
            return child;
        }
    }
    return nullptr;
}

void IndexEntry::InsertInto(std::unique_ptr<IndexEntry> entry, IndexEntry& parent,
                            NodeHandle after) {
    auto& children = parent.m_children;
    if (after == kFirstPosition) {
        children.insert(children.begin(), std::move(entry));
        return;
    }
    if (after != kLastPosition) {
        for (auto it = children.begin(); it != children.end(); ++it) {
            if ((*it)->m_node == after) {
                children.insert(it + 1, std::move(entry));
                return;
            }
        }
    }
    children.push_back(std::move(entry));
}

void IndexEntry::AppendChild(std::unique_ptr<IndexEntry> child) {
    m_children.push_back(std::move(child));
}

void IndexEntry::CountUrlsAndKeywords(int& urls, int& keywords) const {
    std::vector<const IndexEntry*> stack{this};
    while (!stack.empty()) {
        const IndexEntry* entry = stack.back();
        stack.pop_back();
        keywords += static_cast<int>(entry->m_keywords.size());
        urls += static_cast<int>(entry->m_children.size());
        for (const auto& child : entry->m_children) {
            stack.push_back(child.get());
        }
    }
}

int IndexEntry::SetBaseForAll(BaseUrl* newBase) {
    int visited = 0;
    std::vector<IndexEntry*> stack{this};
    while (!stack.empty()) {
        IndexEntry* entry = stack.back();
        stack.pop_back();
        ++visited;
        const std::string oldDefault =
            entry->m_baseUrl ? entry->m_baseUrl->m_targetFrame : entry->m_targetFrame;
        if (!entry->m_baseUrl || !entry->m_ownTarget || entry->m_targetFrame == oldDefault) {
            entry->m_targetFrame.clear();
            entry->m_ownTarget = 1;
        }
        entry->m_baseUrl = newBase;
        for (IndexKeyword& keyword : entry->m_keywords) {
            if (!keyword.m_ownTarget || keyword.m_targetFrame == oldDefault) {
                keyword.m_targetFrame.clear();
                keyword.m_ownTarget = 1;
            }
        }
        for (auto it = entry->m_children.rbegin(); it != entry->m_children.rend(); ++it) {
            stack.push_back(it->get());
        }
    }
    return visited;
}

std::string IndexEntry::KeywordSummary() const {
    std::string summary = m_title;
    bool first = true;
    for (const IndexKeyword& keyword : m_keywords) {
        if (keyword.m_phrase != m_title) {
            summary += first ? " (" : ",";
            summary += keyword.m_phrase;
            first = false;
        }
    }
    return first ? summary : summary + ")";
}

std::string IndexEntry::FullUrl() const {
    return m_baseUrl ? m_baseUrl->m_url + m_url : m_url;
}

} // namespace tamblin
