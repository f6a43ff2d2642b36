#pragma once

#include <cstdint>
#include <string>

namespace tamblin {

enum class HelpFileStatus {
    kRead,
    kCannotOpen,
    // A FIFO, a device, a folder: reading one could block Lumio for good or never end.
    kNotRegularFile,
    kTooLarge,
    kReadFailed,
};

// No topic map or pop-ups page the programs ship comes near this.
inline constexpr uint64_t kMaxHelpFileBytes = 16 * 1024 * 1024;

// Reads a topic map or pop-ups page whole, only if it is a regular file of at most limit bytes.
// A request names the file, so anything may be there: the test is made on the opened file, and
// opening never waits for a writer.
HelpFileStatus ReadHelpFile(const std::string& path, std::string& bytes,
                            uint64_t limit = kMaxHelpFileBytes);

} // namespace tamblin
