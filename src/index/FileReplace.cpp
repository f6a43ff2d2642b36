#include "index/FileReplace.h"

#include "index/ReplacingFile.h"

#include <cerrno>
#include <fstream>

namespace tamblin {

namespace {

SaveResult CommitOrWhy(ReplacingFile& file) {
    file.Commit();
    return file.Result();
}

} // namespace

SaveResult WriteFileReplacing(const std::string& path, const std::string& bytes,
                              ReplaceOptions options) {
    ReplacingFile file(path, options);
    if (!file.IsOpen()) {
        return file.Result();
    }
    file.Stream().write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return CommitOrWhy(file);
}

SaveResult CopyFileReplacing(const std::string& from, const std::string& to,
                             ReplaceOptions options) {
    std::ifstream in(from, std::ios::binary);
    if (!in.is_open()) {
        return SaveResult::Failure(errno == 0 ? ENOENT : errno);
    }
    ReplacingFile file(to, options);
    if (!file.IsOpen()) {
        return file.Result();
    }
    if (in.peek() != std::ifstream::traits_type::eof()) {
        file.Stream() << in.rdbuf();
    }
    if (in.bad()) {
        file.Abandon();
        return SaveResult::Failure(EIO);
    }
    return CommitOrWhy(file);
}

} // namespace tamblin
