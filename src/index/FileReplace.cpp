#include "index/FileReplace.h"

#include "index/TextUtils.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>

namespace tamblin {

namespace {

std::string TemporaryNameBeside(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    return path + ".tmp" + IntToText(stamp % 1000000007) + "-" + IntToText(++counter);
}

} // namespace

bool WriteFileReplacing(const std::string& path, const std::string& bytes) {
    namespace fs = std::filesystem;
    const std::string temporary = TemporaryNameBeside(path);
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        if (!file.is_open()) {
            return false;
        }
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        file.flush();
        if (!file.good()) {
            file.close();
            std::error_code ignored;
            fs::remove(temporary, ignored);
            return false;
        }
    }
    std::error_code error;
    // Keep the old file's permissions on the replacement.
    fs::file_status old = fs::status(path, error);
    if (!error && fs::exists(old)) {
        fs::permissions(temporary, old.permissions(), error);
    }
    error.clear();
    fs::rename(temporary, path, error);
    if (error) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return false;
    }
    return true;
}

} // namespace tamblin
