#include "TestFiles.h"

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <unistd.h>

TestFiles::TestFiles() {
    static std::atomic<int> counter{0};
    m_dir = std::filesystem::temp_directory_path() /
            ("tamblin-test-" + std::to_string(getpid()) + "-" + std::to_string(++counter));
    std::filesystem::create_directories(m_dir);
}

TestFiles::~TestFiles() {
    std::error_code ignored;
    std::filesystem::permissions(m_dir, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(m_dir, ignored);
}

std::string TestFiles::Path(const std::string& name) const {
    return (m_dir / name).string();
}

std::string TestFiles::Write(const std::string& name, const std::string& bytes) const {
    std::string path = Path(name);
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

std::string TestFiles::Read(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void TestFiles::PinDate() {
    setenv("SOURCE_DATE_EPOCH", "1796515200", 1);
}
