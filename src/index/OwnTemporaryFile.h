#pragma once

#include <string>

namespace tamblin {

// Temporary files named after the process that made them ("NAME.tmpPID-N" beside a file
// being saved, "PREFIXPID-XXXXXX" in the temporary folder). A process killed in the middle
// of a save cannot remove its own; the next one that writes there removes every such file
// whose process is gone, and never one whose process still runs.
class OwnTemporaryFile {
public:
    // A name beside `target` that no other save of this or another process uses.
    static std::string NameBeside(const std::string& target);
    // Removes the temporary files beside `target` left by processes that are gone.
    static void RemoveStaleBeside(const std::string& target);

    // Creates "PREFIXPID-XXXXXX" in the temporary folder ($TMPDIR, else /tmp), open for
    // writing, after removing the files of that prefix whose process is gone. On failure
    // Fd() is -1 and Error() the system's error number.
    explicit OwnTemporaryFile(const std::string& prefix);
    const std::string& Path() const { return m_path; }
    int Fd() const { return m_fd; }
    int Error() const { return m_error; }

    // True when `pid` names no running process (also for numbers no process can have).
    static bool IsProcessGone(long long pid);
    static std::string TemporaryFolder();

private:
    std::string m_path;
    int m_fd = -1;
    int m_error = 0;
};

} // namespace tamblin
