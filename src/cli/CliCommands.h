#pragma once

#include <memory>
#include <string>
#include <vector>

namespace tamblin {

// The headless commands. Each returns the process exit code and writes to the streams it
// is given, so tests can run them in-process.
class CliCommands {
public:
    CliCommands(std::ostream& out, std::ostream& err);

    int Run(const std::vector<std::string>& args);
    // For a process that ends right after Run: the loaded index is left for the system to
    // reclaim, which is much faster than freeing a large tree block by block.
    void SkipCleanupAtExit() { m_skipCleanup = true; }

    static constexpr int kClean = 0;
    static constexpr int kBadLines = 1;
    static constexpr int kCannotOpen = 2;
    static constexpr int kUsage = 64;

private:
    int Check(const std::string& path);
    int Convert(const std::string& in, const std::string& out);
    int PrintUsage(std::ostream& stream, int code);

    void Dispose(std::unique_ptr<class IndexFile> index) const;

    std::ostream& m_out;
    std::ostream& m_err;
    bool m_skipCleanup = false;
};

} // namespace tamblin
