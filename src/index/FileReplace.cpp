#include "index/FileReplace.h"

#include "index/FileByteSink.h"
#include "index/ReplacingFile.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace tamblin {

namespace {

std::string FolderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// A new file beside `path` that no one else has; its descriptor, or -1 with errno set.
int CreateBeside(const std::string& path, std::string& temporary) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = path + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(++counter);
        int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

int SyncFolder(const std::string& path) {
    int fd = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    int error = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    // Some file systems cannot sync a folder; the rename is done all the same.
    return error == EINVAL ? 0 : error;
}

// Copies the bytes of `in` into `out`; 0 or the system's error number.
int CopyBytes(int in, ByteSink& out) {
    char buffer[64 * 1024];
    while (true) {
        ssize_t got = ::read(in, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return errno;
        }
        if (got == 0 || !out.Write(std::string_view(buffer, static_cast<size_t>(got)))) {
            return out.Error();
        }
    }
}

} // namespace

bool WriteFileReplacing(const std::string& path, const std::string& bytes) {
    ReplacingFile file(path);
    if (!file.IsOpen()) {
        return false;
    }
    file.Stream().write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return file.Commit();
}

int CopyFileReplacing(const std::string& from, const std::string& path) {
    int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        return errno;
    }
    std::string temporary;
    int fd = CreateBeside(path, temporary);
    if (fd < 0) {
        int error = errno;
        ::close(in);
        return error;
    }
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0) {
        ::fchmod(fd, old.st_mode & 07777);
    }
    FileByteSink out(fd, true);
    int error = CopyBytes(in, out);
    ::close(in);
    if (!out.Finish() && error == 0) {
        error = out.Error();
    }
    if (error == 0 && std::rename(temporary.c_str(), path.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        std::remove(temporary.c_str());
        return error;
    }
    return SyncFolder(path);
}

int CheckReplaceable(const std::string& path) {
    std::string temporary;
    int fd = CreateBeside(path, temporary);
    if (fd < 0) {
        return errno;
    }
    ::close(fd);
    std::remove(temporary.c_str());
    return 0;
}

} // namespace tamblin
