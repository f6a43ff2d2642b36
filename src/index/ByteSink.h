#pragma once

#include <ostream>
#include <string>
#include <string_view>

namespace tamblin {

// Where written bytes go. A failed write is remembered with the system's reason, so that a
// full disk is reported as one rather than found later as a short file.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    // False when not every byte was written; Error() then says why.
    virtual bool Write(std::string_view bytes) = 0;
    // The system's error number of the first failure, 0 while there was none.
    virtual int Error() const = 0;
    // Ends the writing (a file is closed); false when that or any write failed.
    virtual bool Finish() { return Error() == 0; }
};

// A stream as a sink; a stream does not keep the system's reason, so EIO stands for it.
class StreamByteSink final : public ByteSink {
public:
    explicit StreamByteSink(std::ostream& stream) : m_stream(stream) {}
    bool Write(std::string_view bytes) override;
    int Error() const override { return m_error; }

private:
    std::ostream& m_stream;
    int m_error = 0;
};

// The system's words for an error number, for messages.
std::string SystemErrorText(int error);

} // namespace tamblin
