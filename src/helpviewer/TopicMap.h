#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace tamblin {

// Topic ids to topic names, read from topic map files (".HM"): lines "HNAME id" and
// "ANAME id", ids in C notation. A later entry for an id replaces the earlier one.
class TopicMap final {
public:
    // False when the file cannot be read, or is not a regular file of at most
    // kMaxHelpFileBytes; the map is then unchanged.
    bool Load(const std::string& path);
    // One line of a map file; lines that are not entries are passed over.
    void ReadLine(std::string_view line);
    void Add(uint32_t id, std::string name);
    void Clear();

    const std::string* NameFor(uint32_t id) const;
    // The first id (lowest) whose name matches without regard to case.
    std::optional<uint32_t> IdFor(std::string_view name) const;
    size_t Size() const { return m_names.size(); }
    const std::map<uint32_t, std::string>& Entries() const { return m_names; }

private:
    std::map<uint32_t, std::string> m_names;
    // Lower-cased name to its first id, rebuilt after changes: a pop-ups page asks once per
    // anchor, and a scan of the whole map each time would be quadratic.
    mutable std::map<std::string, uint32_t> m_idsByName;
    mutable bool m_indexValid = false;
};

// A number in C notation: "0x" hexadecimal, a leading "0" octal, otherwise decimal; reading
// stops at the first character that is not a digit of the base. 0 when nothing is read.
uint32_t ParseCNumber(std::string_view text);

} // namespace tamblin
