#include "app/RecentFileList.h"

#include "app/SettingsStore.h"

#include <algorithm>

namespace tamblin {

RecentFileList::RecentFileList(size_t capacity) : m_capacity(capacity) {}

void RecentFileList::Add(const std::string& path) {
    if (path.empty()) {
        return;
    }
    auto found = std::find(m_items.begin(), m_items.end(), path);
    if (found != m_items.end()) {
        m_items.erase(found);
    }
    m_items.insert(m_items.begin(), path);
    if (m_items.size() > m_capacity) {
        m_items.resize(m_capacity);
    }
}

void RecentFileList::Remove(size_t position) {
    if (position < m_items.size()) {
        m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(position));
    }
}

std::string RecentFileList::ValueName(size_t position) {
    return "File" + std::to_string(position + 1);
}

void RecentFileList::Load(SettingsStore& store) {
    m_items.clear();
    if (!store.OpenGroup(kRecentFileGroup, false)) {
        return;
    }
    for (size_t i = 0; i < m_capacity; ++i) {
        std::optional<std::string> path = store.ReadText(ValueName(i));
        if (path && !path->empty() &&
            std::find(m_items.begin(), m_items.end(), *path) == m_items.end()) {
            m_items.push_back(*path);
        }
    }
    store.CloseGroup();
}

void RecentFileList::Save(SettingsStore& store) const {
    if (!store.OpenGroup(kRecentFileGroup, true)) {
        return;
    }
    for (size_t i = 0; i < m_capacity; ++i) {
        if (i < m_items.size()) {
            store.WriteText(ValueName(i), m_items[i]);
        } else {
            store.RemoveValue(ValueName(i));
        }
    }
    store.CloseGroup();
}

} // namespace tamblin
