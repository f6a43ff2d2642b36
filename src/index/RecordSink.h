#pragma once

#include "index/ByteSink.h"

#include <string>
#include <string_view>

namespace tamblin {

// Collects written records and hands them to a sink about a megabyte at a time, so that
// writing a large index never holds the whole file in memory.
class RecordSink {
public:
    explicit RecordSink(ByteSink& sink, size_t flushAt = kFlushAt)
        : m_sink(sink), m_flushAt(flushAt) {}

    RecordSink& append(std::string_view text) {
        m_buffer.append(text);
        return *this;
    }
    RecordSink& operator+=(std::string_view text) { return append(text); }
    RecordSink& operator+=(char c) {
        m_buffer += c;
        return *this;
    }
    void EndRecord(std::string_view lineEnd) {
        m_buffer.append(lineEnd);
        if (m_buffer.size() >= m_flushAt) {
            Flush();
        }
    }
    // Bytes appended so far, written or not: where the next byte will stand in the file.
    long long Position() const { return m_written + static_cast<long long>(m_buffer.size()); }
    // False once the sink failed; the records after a failure are dropped.
    bool Good() const { return m_sink.Error() == 0; }
    // Bytes written in all, or -1 when the sink failed.
    long long Finish() {
        Flush();
        return Good() ? m_written : -1;
    }

private:
    static constexpr size_t kFlushAt = 1 << 20;

    void Flush() {
        if (!m_buffer.empty() && m_sink.Write(m_buffer)) {
            m_written += static_cast<long long>(m_buffer.size());
        }
        m_buffer.clear();
    }

    ByteSink& m_sink;
    size_t m_flushAt;
    std::string m_buffer;
    long long m_written = 0;
};

} // namespace tamblin
