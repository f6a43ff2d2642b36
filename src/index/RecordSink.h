#pragma once

#include <ostream>
#include <string>
#include <string_view>

namespace tamblin {

// Collects written records and hands them to a stream about a megabyte at a time, so that
// writing a large index never holds the whole file in memory.
class RecordSink {
public:
    explicit RecordSink(std::ostream& stream) : m_stream(stream) {}

    RecordSink& append(std::string_view text) {
        m_buffer.append(text);
        return *this;
    }
    RecordSink& operator+=(std::string_view text) { return append(text); }
    RecordSink& operator+=(char c) {
        m_buffer += c;
        return *this;
    }
    void EndRecord() {
        m_buffer.append("\r\n");
        if (m_buffer.size() >= kFlushAt) {
            Flush();
        }
    }
    // Bytes written in all, or -1 when the stream failed.
    long long Finish() {
        Flush();
        m_stream.flush();
        return m_stream.good() ? m_written : -1;
    }

private:
    static constexpr size_t kFlushAt = 1 << 20;

    void Flush() {
        m_stream.write(m_buffer.data(), static_cast<std::streamsize>(m_buffer.size()));
        m_written += static_cast<long long>(m_buffer.size());
        m_buffer.clear();
    }

    std::ostream& m_stream;
    std::string m_buffer;
    long long m_written = 0;
};

} // namespace tamblin
