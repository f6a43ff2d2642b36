#pragma once

#include <optional>
#include <string>

namespace tamblin {

// The per-user settings store, seen as groups of named values. The desktop adapter lives in
// platform/; tests use an in-memory one.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // False when the group is missing (reading) or cannot be written (writing).
    virtual bool OpenGroup(const std::string& group, bool forWriting) = 0;
    virtual void CloseGroup() = 0;
    // Empty when the value is missing or holds no number.
    virtual std::optional<long long> ReadNumber(const std::string& name) = 0;
    virtual std::optional<std::string> ReadText(const std::string& name) = 0;
    virtual void WriteNumber(const std::string& name, long long value) = 0;
    virtual void WriteText(const std::string& name, const std::string& value) = 0;
    virtual void RemoveValue(const std::string& name) = 0;
};

inline constexpr const char* kSettingsGroup = "Settings";
inline constexpr const char* kRecentFileGroup = "Recent File List";

} // namespace tamblin
