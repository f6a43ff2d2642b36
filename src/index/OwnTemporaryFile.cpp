#include "index/OwnTemporaryFile.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <signal.h>
#include <string_view>
#include <unistd.h>

namespace tamblin {

namespace fs = std::filesystem;

namespace {

// The process number at the front of `rest` ("1234-..."), or -1 when rest does not start
// with digits and a "-" followed by at least one character.
long long LeadingPid(std::string_view rest, std::string_view& after) {
    size_t digits = 0;
    long long pid = 0;
    while (digits < rest.size() && rest[digits] >= '0' && rest[digits] <= '9') {
        pid = pid > LLONG_MAX / 20 ? LLONG_MAX / 20 : pid * 10 + (rest[digits] - '0');
        ++digits;
    }
    if (digits == 0 || digits + 1 >= rest.size() || rest[digits] != '-') {
        return -1;
    }
    after = rest.substr(digits + 1);
    return pid;
}

bool AllDigits(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// Removes the entries of `folder` that `stale` picks; a folder that cannot be listed is
// left as it is.
template <class Pick> void RemoveWhere(const fs::path& folder, Pick stale) {
    std::error_code error;
    fs::directory_iterator it(folder, error);
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        std::string name = it->path().filename().string();
        if (stale(std::string_view(name))) {
            std::error_code ignored;
            fs::remove(it->path(), ignored);
        }
    }
}

} // namespace

bool OwnTemporaryFile::IsProcessGone(long long pid) {
    if (pid <= 0 || pid > INT_MAX) {
        return true;
    }
    if (pid == static_cast<long long>(::getpid())) {
        return false;
    }
    // EPERM: it runs, as another user.
    return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

std::string OwnTemporaryFile::NameBeside(const std::string& target) {
    static std::atomic<unsigned> counter{0};
    return target + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(++counter);
}

void OwnTemporaryFile::RemoveStaleBeside(const std::string& target) {
    fs::path path(target);
    const std::string stem = path.filename().string() + ".tmp";
    fs::path folder = path.parent_path().empty() ? fs::path(".") : path.parent_path();
    RemoveWhere(folder, [&stem](std::string_view name) {
        if (!name.starts_with(stem)) {
            return false;
        }
        std::string_view after;
        long long pid = LeadingPid(name.substr(stem.size()), after);
        return pid >= 0 && AllDigits(after) && IsProcessGone(pid);
    });
}

std::string OwnTemporaryFile::TemporaryFolder() {
    const char* folder = std::getenv("TMPDIR");
    return folder && *folder ? std::string(folder) : std::string("/tmp");
}

OwnTemporaryFile::OwnTemporaryFile(const std::string& prefix) {
    const fs::path folder(TemporaryFolder());
    RemoveWhere(folder, [&prefix](std::string_view name) {
        std::string_view after;
        return name.starts_with(prefix) && LeadingPid(name.substr(prefix.size()), after) >= 0 &&
               IsProcessGone(LeadingPid(name.substr(prefix.size()), after));
    });
    std::string pattern = (folder / (prefix + std::to_string(::getpid()) + "-XXXXXX")).string();
    m_fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (m_fd < 0) {
        m_error = errno;
        return;
    }
    m_path = std::move(pattern);
}

} // namespace tamblin
