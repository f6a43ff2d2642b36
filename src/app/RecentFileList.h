#pragma once

#include <string>
#include <vector>

namespace tamblin {

class SettingsStore;

// The most recently used index files, most recent first, kept as File1..File8.
class RecentFileList {
public:
    explicit RecentFileList(size_t capacity = 8);

    // Moves the path to the front (once: an equal path already listed is taken out).
    void Add(const std::string& path);
    void Remove(size_t position);
    const std::vector<std::string>& Items() const { return m_items; }

    // Reads File1 onwards, skipping missing and empty values.
    void Load(SettingsStore& store);
    // Writes the whole group again, so entries that left the list leave the store too.
    void Save(SettingsStore& store) const;

    static std::string ValueName(size_t position);

private:
    size_t m_capacity;
    std::vector<std::string> m_items;
};

} // namespace tamblin
