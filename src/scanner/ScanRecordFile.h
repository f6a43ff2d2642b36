#pragma once

#include "index/ByteSink.h"
#include "index/IndexRecordWriter.h"
#include "index/RecordSink.h"

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tamblin {

// The scanner's own index file: records streamed into a temporary file through the index
// core's record writer, every write and the close checked. It remembers nothing of what it
// wrote but where titles stand and how many lines it holds, so that titles can be changed
// and lines dropped at the end without reading the records back.
class ScanRecordFile {
public:
    // Makes the sink for the temporary file's descriptor; tests give one that fails.
    using SinkMaker = std::function<std::unique_ptr<ByteSink>(int fd)>;

    struct TitleChange {
        long long offset; // where the title stands, as Entry returned it
        size_t length;    // its bytes as written
        std::string title;
    };

    explicit ScanRecordFile(SinkMaker makeSink = {});
    ~ScanRecordFile();
    ScanRecordFile(const ScanRecordFile&) = delete;
    ScanRecordFile& operator=(const ScanRecordFile&) = delete;

    // A new file in the temporary folder; false (Error() set) when none could be made.
    bool Create();
    // A target equal to this is written as none.
    void SetSkipTarget(std::string target) { m_skipTarget = std::move(target); }
    // Entry URLs below this folder are written relative to it.
    void SetBaseDirectory(std::string directory) { m_baseDirectory = std::move(directory); }

    void Header(const std::string& description, const std::string& date);
    void BaseUrl(const std::string& url);
    // Fields are written as reading will trim them. Returns where the title stands.
    long long Entry(int number, std::string_view title, std::string_view url, int parent,
                    std::string_view target);
    // Text fields arrive trimmed and marked as plain text; references need neither. Returns
    // the keyword's line (counted from 0, the header's first line included).
    long long Keyword(std::string_view phrase, std::string_view url, std::string_view title,
                      std::string_view target);
    // Lines written so far.
    long long Lines() const { return m_lines; }

    // Writes what is buffered and closes the file; false when a write or the close failed.
    bool Close();
    // Rewrites the closed file with these titles in place of the old ones (in file order).
    bool ChangeTitles(const std::vector<TitleChange>& changes);
    // Rewrites the closed file without these lines (ascending, as Keyword numbered them).
    // Titles changed before keep every line where it was. Fails, the file left as it was,
    // when the file does not hold the lines written (a record broken over two lines would
    // move every line after it).
    bool DropLines(const std::vector<long long>& lines);

    const std::string& Path() const { return m_path; }
    // The system's error number of the first failure, 0 while all went well.
    int Error() const { return m_error; }
    bool Failed() const { return m_error != 0 || (m_records && !m_records->Good()); }
    // Why the file could not be kept, for the user; empty while all went well.
    std::string ErrorText() const;
    // Leaves the file to the caller, who deletes it.
    std::string Release();

private:
    int SinkError() const { return m_sink ? m_sink->Error() : 0; }
    // Copies the closed file into a new temporary one through `copy`, which returns 0 or the
    // error that stops it, and puts the copy in its place.
    using Copier = std::function<int(std::FILE* in, ByteSink& out)>;
    bool Rewrite(const Copier& copy);

    SinkMaker m_makeSink;
    std::string m_path;
    std::unique_ptr<ByteSink> m_sink;
    std::unique_ptr<RecordSink> m_records;
    std::unique_ptr<IndexRecordWriter> m_writer;
    std::string m_skipTarget;
    std::string m_baseDirectory;
    long long m_lines = 0;
    int m_error = 0;
    bool m_released = false;
};

} // namespace tamblin
