#include "index/ReplacingFile.h"

#include <atomic>
#include <chrono>
#include <filesystem>

namespace tamblin {

namespace {

std::string TemporaryNameBeside(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    return path + ".tmp" + std::to_string(stamp % 1000000007) + "-" + std::to_string(++counter);
}

} // namespace

ReplacingFile::ReplacingFile(std::string target)
    : m_target(std::move(target)), m_temporary(TemporaryNameBeside(m_target)),
      m_stream(m_temporary, std::ios::binary | std::ios::trunc) {}

ReplacingFile::~ReplacingFile() {
    if (!m_done) {
        Abandon();
    }
}

void ReplacingFile::Abandon() {
    m_done = true;
    if (m_stream.is_open()) {
        m_stream.close();
    }
    std::error_code ignored;
    std::filesystem::remove(m_temporary, ignored);
}

bool ReplacingFile::Commit() {
    namespace fs = std::filesystem;
    if (!m_stream.is_open()) {
        Abandon();
        return false;
    }
    m_stream.flush();
    bool written = m_stream.good();
    m_stream.close();
    if (!written || m_stream.fail()) {
        Abandon();
        return false;
    }
    std::error_code error;
    // The replacement keeps the old file's permissions.
    fs::file_status old = fs::status(m_target, error);
    if (!error && fs::exists(old)) {
        fs::permissions(m_temporary, old.permissions(), error);
    }
    error.clear();
    fs::rename(m_temporary, m_target, error);
    if (error) {
        Abandon();
        return false;
    }
    m_done = true;
    return true;
}

} // namespace tamblin
