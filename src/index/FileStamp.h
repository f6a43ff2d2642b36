#pragma once

#include <string>

namespace tamblin {

// What tells one state of a file on disk from another: which file the name leads to and
// when and how it was last written. Two stamps of the same path differ once anything (a
// save, another program) wrote or replaced it.
struct FileStamp {
    bool exists = false;
    unsigned long long device = 0;
    unsigned long long inode = 0;
    long long size = 0;
    long long modifiedNs = 0;

    static FileStamp Of(const std::string& path);
    bool operator==(const FileStamp&) const = default;
};

} // namespace tamblin
