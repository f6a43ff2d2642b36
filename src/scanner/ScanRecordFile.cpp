#include "scanner/ScanRecordFile.h"

#include "index/FileByteSink.h"
#include "index/OwnTemporaryFile.h"
#include "index/TextUtils.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <limits>
#include <unistd.h>

namespace tamblin {

namespace {

// A new private file in the temporary folder, named after this process so that a later
// scan removes it should this one be killed; its descriptor, or -1 with errno set.
int MakeTemporary(std::string& path) {
    OwnTemporaryFile temporary("XoTmp");
    path = temporary.Path();
    if (temporary.Fd() < 0) {
        errno = temporary.Error();
    }
    return temporary.Fd();
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

} // namespace

ScanRecordFile::ScanRecordFile(SinkMaker makeSink) : m_makeSink(std::move(makeSink)) {}

ScanRecordFile::~ScanRecordFile() {
    m_writer.reset();
    m_records.reset();
    m_sink.reset();
    if (!m_released && !m_path.empty()) {
        std::remove(m_path.c_str());
    }
}

bool ScanRecordFile::Create() {
    int fd = MakeTemporary(m_path);
    if (fd < 0) {
        m_error = errno;
        m_path.clear();
        return false;
    }
    m_sink = m_makeSink ? m_makeSink(fd) : std::make_unique<FileByteSink>(fd);
    m_records = std::make_unique<RecordSink>(*m_sink, 64 * 1024);
    m_writer = std::make_unique<IndexRecordWriter>(*m_records, IndexRecordWriter::Style::Scanned);
    return true;
}

void ScanRecordFile::Header(const std::string& description, const std::string& date) {
    m_writer->Header("", "");
    m_writer->Description(description, date);
    m_lines += 2;
}

void ScanRecordFile::BaseUrl(const std::string& url) {
    m_writer->BaseUrl("1", url, "");
    ++m_lines;
}

long long ScanRecordFile::Entry(int number, std::string_view title, std::string_view url,
                                int parent, std::string_view target) {
    if (!m_baseDirectory.empty() && StartsWith(url, m_baseDirectory)) {
        url.remove_prefix(m_baseDirectory.size());
    }
    ++m_lines;
    return m_writer->Entry(IntToText(number), "1", TrimSpaces(url), TrimSpaces(title),
                           TrimSpaces(target == m_skipTarget ? "" : target), IntToText(parent), "");
}

long long ScanRecordFile::Keyword(std::string_view phrase, std::string_view url,
                                  std::string_view title, std::string_view target) {
    m_writer->Keyword(phrase, url, title, TrimSpaces(target == m_skipTarget ? "" : target));
    return m_lines++;
}

bool ScanRecordFile::Close() {
    if (m_records) {
        m_records->Finish();
    }
    if (m_sink) {
        m_sink->Finish();
    }
    if (m_error == 0) {
        m_error = SinkError();
    }
    m_writer.reset();
    m_records.reset();
    m_sink.reset();
    return m_error == 0;
}

bool ScanRecordFile::Rewrite(const Copier& copy) {
    std::FILE* in = std::fopen(m_path.c_str(), "rb");
    if (!in) {
        m_error = errno;
        return false;
    }
    std::string newPath;
    int fd = MakeTemporary(newPath);
    if (fd < 0) {
        m_error = errno;
        std::fclose(in);
        return false;
    }
    auto sink = m_makeSink ? m_makeSink(fd) : std::make_unique<FileByteSink>(fd);
    int error = copy(in, *sink);
    if (error == 0 && std::ferror(in)) {
        error = EIO;
    }
    std::fclose(in);
    bool finished = sink->Finish();
    if (error == 0 && !finished) {
        error = sink->Error() != 0 ? sink->Error() : EIO;
    }
    if (error == 0 && std::rename(newPath.c_str(), m_path.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        std::remove(newPath.c_str());
        m_error = error;
        return false;
    }
    return true;
}

bool ScanRecordFile::ChangeTitles(const std::vector<TitleChange>& changes) {
    return Rewrite([&changes](std::FILE* in, ByteSink& sink) {
        long long at = 0;
        std::string buffer;
        auto copyUpTo = [&](long long end) {
            while (at < end && !std::feof(in)) {
                buffer.resize(static_cast<size_t>(std::min<long long>(end - at, 64 * 1024)));
                size_t got = std::fread(buffer.data(), 1, buffer.size(), in);
                sink.Write(std::string_view(buffer).substr(0, got));
                at += static_cast<long long>(got);
                if (got == 0) {
                    break;
                }
            }
        };
        for (const TitleChange& change : changes) {
            copyUpTo(change.offset);
            sink.Write(change.title);
            std::fseek(in, static_cast<long>(change.length), SEEK_CUR);
            at += static_cast<long long>(change.length);
        }
        copyUpTo(std::numeric_limits<long long>::max());
        return sink.Error();
    });
}

bool ScanRecordFile::DropLines(const std::vector<long long>& lines) {
    if (lines.empty()) {
        return true;
    }
    long long expected = m_lines;
    bool ok = Rewrite([&lines, expected](std::FILE* in, ByteSink& sink) {
        std::string out;
        long long line = 0;
        size_t next = 0; // the next line of `lines` to drop
        char buffer[64 * 1024];
        size_t got = 0;
        while ((got = std::fread(buffer, 1, sizeof buffer, in)) > 0) {
            for (size_t i = 0; i < got; ++i) {
                bool dropped = next < lines.size() && lines[next] == line;
                if (!dropped) {
                    out += buffer[i];
                }
                if (buffer[i] == '\n') {
                    next += dropped ? 1 : 0;
                    ++line;
                }
            }
            if (out.size() >= 64 * 1024) {
                sink.Write(out);
                out.clear();
            }
        }
        sink.Write(out);
        // A file that does not end a line where the writer did is not the one written.
        return line != expected || next != lines.size() ? EIO : sink.Error();
    });
    if (ok) {
        m_lines -= static_cast<long long>(lines.size());
    }
    return ok;
}

std::string ScanRecordFile::ErrorText() const {
    int error = m_error != 0 ? m_error : SinkError();
    if (error == 0) {
        return {};
    }
    return "Could not write the scan's temporary file (" +
           (m_path.empty() ? std::string("none made") : m_path) + "): " + SystemErrorText(error);
}

std::string ScanRecordFile::Release() {
    m_released = true;
    return m_path;
}

} // namespace tamblin
