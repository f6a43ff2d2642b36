#pragma once

#include "index/ByteSink.h"

#include <string>

namespace tamblin {

// Bytes into a file descriptor it owns, every write and the close checked.
class FileByteSink final : public ByteSink {
public:
    // Takes over fd (closed by Finish or the destructor); with sync, Finish syncs first.
    explicit FileByteSink(int fd, bool sync = false) : m_fd(fd), m_sync(sync) {}
    ~FileByteSink() override;
    FileByteSink(const FileByteSink&) = delete;
    FileByteSink& operator=(const FileByteSink&) = delete;

    bool Write(std::string_view bytes) override;
    int Error() const override { return m_error; }
    bool Finish() override;

private:
    int m_fd;
    bool m_sync;
    int m_error = 0;
};

} // namespace tamblin
