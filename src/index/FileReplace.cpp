#include "index/FileReplace.h"

#include "index/ReplacingFile.h"

namespace tamblin {

bool WriteFileReplacing(const std::string& path, const std::string& bytes) {
    ReplacingFile file(path);
    if (!file.IsOpen()) {
        return false;
    }
    file.Stream().write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return file.Commit();
}

} // namespace tamblin
