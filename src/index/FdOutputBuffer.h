#pragma once

#include <streambuf>
#include <vector>

namespace tamblin {

// A stream buffer writing to a file descriptor it does not own, which remembers the first
// error the system reported, so a failed write can be told with its reason.
class FdOutputBuffer final : public std::streambuf {
public:
    explicit FdOutputBuffer(int fd = -1);
    FdOutputBuffer(const FdOutputBuffer&) = delete;
    FdOutputBuffer& operator=(const FdOutputBuffer&) = delete;

    void Attach(int fd) { m_fd = fd; }
    // The first errno of a failed write; 0 when every write went through.
    int Error() const { return m_error; }

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* data, std::streamsize count) override;
    int sync() override;

private:
    bool WriteAll(const char* data, size_t count);
    bool Drain();

    int m_fd;
    int m_error = 0;
    std::vector<char> m_buffer;
};

} // namespace tamblin
