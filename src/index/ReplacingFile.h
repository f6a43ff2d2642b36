#pragma once

#include <fstream>
#include <string>

namespace tamblin {

// Writes a file so that the old one survives any failure: the bytes go to a temporary
// file beside the target, which replaces the target only on Commit(). Destroying an
// uncommitted ReplacingFile removes the temporary file.
class ReplacingFile {
public:
    explicit ReplacingFile(std::string target);
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    bool IsOpen() const { return m_stream.is_open(); }
    std::ostream& Stream() { return m_stream; }
    // True when every byte was written and the target now holds them.
    bool Commit();
    void Abandon();

private:
    std::string m_target;
    std::string m_temporary;
    std::ofstream m_stream;
    bool m_done = false;
};

} // namespace tamblin
