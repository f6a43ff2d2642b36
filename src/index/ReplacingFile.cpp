#include "index/ReplacingFile.h"

#include "index/OwnTemporaryFile.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tamblin {

namespace {

namespace fs = std::filesystem;

std::string FolderOf(const std::string& path) {
    fs::path parent = fs::path(path).parent_path();
    return parent.empty() ? std::string(".") : parent.string();
}

// 0, or the error number. Some file systems cannot sync a folder (EINVAL); their renames
// are as safe as they can be made.
int SyncFolder(const std::string& path) {
    int fd = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    int error = ::fsync(fd) == 0 || errno == EINVAL ? 0 : errno;
    ::close(fd);
    return error;
}

bool IsReadOnly(const struct stat& info, const std::string& path) {
    // The mode first: the administrator may write anything, yet a file marked read-only
    // was marked so for a reason.
    return (info.st_mode & 0222) == 0 || (::access(path.c_str(), W_OK) != 0 && errno == EACCES);
}

// Copies everything from `from` (read from its start) to `to`; 0 or the error number.
int CopyAll(int from, int to) {
    std::vector<char> block(1 << 16);
    if (::lseek(from, 0, SEEK_SET) < 0) {
        return errno;
    }
    while (true) {
        ssize_t got = ::read(from, block.data(), block.size());
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return got < 0 ? errno : 0;
        }
        for (ssize_t done = 0; done < got;) {
            ssize_t put = ::write(to, block.data() + done, static_cast<size_t>(got - done));
            if (put < 0 && errno != EINTR) {
                return errno;
            }
            done += put > 0 ? put : 0;
        }
    }
}

// Replaces the bytes of the file `to` (every name of it) with those of `from`, synced.
int CopyInto(const std::string& from, const std::string& to, int flags) {
    int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        return errno;
    }
    int out = ::open(to.c_str(), O_WRONLY | O_CLOEXEC | flags, 0600);
    if (out < 0) {
        int error = errno;
        ::close(in);
        return error;
    }
    int error = CopyAll(in, out);
    if (error == 0 && ::fsync(out) != 0) {
        error = errno;
    }
    if (::close(out) != 0 && error == 0) {
        error = errno;
    }
    ::close(in);
    return error;
}

} // namespace

std::string ReplacingFile::FollowLinks(const std::string& path) {
    std::string current = path;
    // A loop of links ends here, and the save then fails on it with the system's reason.
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            break;
        }
        std::error_code error;
        fs::path target = fs::read_symlink(current, error);
        if (error) {
            break;
        }
        current = target.is_absolute() ? target.string()
                                       : (fs::path(FolderOf(current)) / target).string();
    }
    return current;
}

SaveResult ReplacingFile::Check(const std::string& path, ReplaceOptions options) {
    std::string target = FollowLinks(path);
    struct stat info {};
    if (::stat(target.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) {
            return SaveResult::Failure(EISDIR);
        }
        if (!options.replaceReadOnly && IsReadOnly(info, target)) {
            return {SaveStatus::ReadOnly, 0};
        }
    } else if (errno != ENOENT) {
        return SaveResult::Failure(errno);
    }
    if (::access(FolderOf(target).c_str(), W_OK | X_OK) != 0) {
        return SaveResult::Failure(errno);
    }
    return {};
}

ReplacingFile::ReplacingFile(std::string target, ReplaceOptions options)
    : m_target(FollowLinks(target)), m_options(options), m_stream(&m_buffer) {
    OwnTemporaryFile::RemoveStaleBeside(m_target);
    struct stat info {};
    if (::stat(m_target.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) {
            Fail(EISDIR);
            return;
        }
        m_exists = true;
        m_mode = info.st_mode;
        m_owner = info.st_uid;
        m_group = info.st_gid;
        m_links = info.st_nlink;
        if (!options.replaceReadOnly && IsReadOnly(info, m_target)) {
            m_result = {SaveStatus::ReadOnly, 0};
            m_done = true;
            m_stream.setstate(std::ios::badbit);
            return;
        }
    } else if (errno != ENOENT) {
        Fail(errno);
        return;
    }
    m_temporary = OwnTemporaryFile::NameBeside(m_target);
    // 0666 less the umask, as any new file of the user's.
    m_fd = ::open(m_temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (m_fd < 0) {
        m_temporary.clear();
        Fail(errno);
        return;
    }
    if (m_exists) {
        // Owner before mode: a change of owner clears the set-id bits. Only the
        // administrator may give a file away; anyone else's save is theirs.
        (void)!::fchown(m_fd, m_owner, m_group);
        ::fchmod(m_fd, m_mode & 07777);
    }
    m_buffer.Attach(m_fd);
}

ReplacingFile::~ReplacingFile() {
    if (!m_done) {
        Abandon();
    }
}

void ReplacingFile::Abandon() {
    m_done = true;
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_temporary.empty()) {
        ::unlink(m_temporary.c_str());
        m_temporary.clear();
    }
    m_stream.setstate(std::ios::badbit);
}

bool ReplacingFile::Fail(int error) {
    m_result = SaveResult::Failure(error == 0 ? EIO : error);
    Abandon();
    return false;
}

bool ReplacingFile::Commit() {
    if (m_fd < 0) {
        if (m_result.Ok()) {
            m_result = SaveResult::Failure(EBADF);
        }
        Abandon();
        return false;
    }
    m_stream.flush();
    if (m_buffer.Error() != 0 || !m_stream.good()) {
        return Fail(m_buffer.Error());
    }
    if (::fsync(m_fd) != 0) {
        return Fail(errno);
    }
    int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0) {
        return Fail(errno);
    }
    bool throughLinks = m_exists && (m_links > 1 || !S_ISREG(m_mode));
    return throughLinks ? WriteThrough() : ReplaceByRename();
}

bool ReplacingFile::ReplaceByRename() {
    if (int error = SyncFolder(m_target)) {
        return Fail(error);
    }
    if (::rename(m_temporary.c_str(), m_target.c_str()) != 0) {
        return Fail(errno);
    }
    m_temporary.clear();
    m_done = true;
    // The new name must be on the disk before the save counts as done.
    if (int error = SyncFolder(m_target)) {
        m_result = SaveResult::Failure(error);
        return false;
    }
    return true;
}

// Renaming would give this name a new file and leave the other names with the old one.
bool ReplacingFile::WriteThrough() {
    std::string backup;
    if (S_ISREG(m_mode)) {
        // Kept (never removed as stale) should the write through be cut short: then it is
        // the only whole copy.
        backup = OwnTemporaryFile::NameBeside(m_target) + ".old";
        int error = CopyInto(m_target, backup, O_CREAT | O_EXCL);
        if (error == 0) {
            error = SyncFolder(m_target);
        }
        if (error != 0) {
            ::unlink(backup.c_str());
            return Fail(error);
        }
    }
    bool madeWritable = false;
    int error = CopyInto(m_temporary, m_target, O_TRUNC);
    if (error == EACCES && m_options.replaceReadOnly) {
        madeWritable = ::chmod(m_target.c_str(), (m_mode & 07777) | S_IWUSR) == 0;
        error = CopyInto(m_temporary, m_target, O_TRUNC);
    }
    if (error != 0 && !backup.empty() && CopyInto(backup, m_target, O_TRUNC) == 0) {
        ::unlink(backup.c_str());
        backup.clear();
    }
    if (madeWritable) {
        ::chmod(m_target.c_str(), m_mode & 07777);
    }
    if (error != 0) {
        return Fail(error);
    }
    if (!backup.empty()) {
        ::unlink(backup.c_str());
    }
    Abandon();
    m_stream.clear();
    return true;
}

} // namespace tamblin
