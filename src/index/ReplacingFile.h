#pragma once

#include "index/FdOutputBuffer.h"
#include "index/SaveResult.h"

#include <ostream>
#include <string>

namespace tamblin {

// Writes a file so that the old one survives any failure: the bytes go to a temporary
// file beside the target, synced, which then takes the target's place. A symbolic link is
// followed to the file it names; the file keeps its mode and owner; a file with more than
// one name (hard links) is written through instead, after a synced copy of the old bytes
// was made beside it, so every name sees the new bytes. A read-only target is left alone
// unless the options allow it. Destroying an uncommitted ReplacingFile removes the
// temporary file.
class ReplacingFile {
public:
    explicit ReplacingFile(std::string target, ReplaceOptions options = {});
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // False when nothing can be written (Result() says why).
    bool IsOpen() const { return m_fd >= 0; }
    std::ostream& Stream() { return m_stream; }
    // True when every byte was written and the target now holds them.
    bool Commit();
    void Abandon();
    // Why the file could not be opened or committed.
    const SaveResult& Result() const { return m_result; }
    // The file that is written: the target with its symbolic links followed.
    const std::string& RealTarget() const { return m_target; }

    // What a save to `path` would meet, without writing: ReadOnly, a folder that cannot
    // take a new file, a target that is a folder. For checking before long work.
    static SaveResult Check(const std::string& path, ReplaceOptions options = {});
    // `path` with every symbolic link followed; a link to a file not yet made gives that
    // file's path.
    static std::string FollowLinks(const std::string& path);

private:
    bool Fail(int error);
    bool WriteThrough();
    bool ReplaceByRename();

    std::string m_target;
    std::string m_temporary;
    ReplaceOptions m_options;
    SaveResult m_result;
    int m_fd = -1;
    bool m_exists = false;
    bool m_done = false;
    unsigned m_mode = 0;
    unsigned m_owner = 0;
    unsigned m_group = 0;
    unsigned long m_links = 0;
    FdOutputBuffer m_buffer;
    std::ostream m_stream;
};

} // namespace tamblin
