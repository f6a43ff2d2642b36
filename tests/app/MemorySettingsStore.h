#pragma once

#include "app/SettingsStore.h"

#include <map>
#include <string>
#include <variant>

namespace tamblin {

// Settings in a map, to check exactly what is read and written.
class MemorySettingsStore final : public SettingsStore {
public:
    using Value = std::variant<long long, std::string>;
    using Group = std::map<std::string, Value>;

    bool OpenGroup(const std::string& group, bool forWriting) override {
        if (!forWriting && !m_groups.count(group)) {
            return false;
        }
        if (forWriting && m_readOnly) {
            return false;
        }
        m_current = &m_groups[group];
        return true;
    }
    void CloseGroup() override { m_current = nullptr; }
    std::optional<long long> ReadNumber(const std::string& name) override {
        auto it = m_current->find(name);
        if (it == m_current->end() || !std::holds_alternative<long long>(it->second)) {
            return std::nullopt;
        }
        return std::get<long long>(it->second);
    }
    std::optional<std::string> ReadText(const std::string& name) override {
        auto it = m_current->find(name);
        if (it == m_current->end() || !std::holds_alternative<std::string>(it->second)) {
            return std::nullopt;
        }
        return std::get<std::string>(it->second);
    }
    void WriteNumber(const std::string& name, long long value) override {
        (*m_current)[name] = value;
    }
    void WriteText(const std::string& name, const std::string& value) override {
        (*m_current)[name] = value;
    }
    void RemoveValue(const std::string& name) override { m_current->erase(name); }

    std::map<std::string, Group> m_groups;
    bool m_readOnly = false;

private:
    Group* m_current = nullptr;
};

} // namespace tamblin
