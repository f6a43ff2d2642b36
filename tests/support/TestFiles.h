#pragma once

#include <filesystem>
#include <string>

// A scratch directory removed again when the test ends.
class TestFiles {
public:
    TestFiles();
    ~TestFiles();
    TestFiles(const TestFiles&) = delete;
    TestFiles& operator=(const TestFiles&) = delete;

    // name may hold folders ("sub/a.htm"); they are made as needed.
    std::string Write(const std::string& name, const std::string& bytes) const;
    std::string Path(const std::string& name) const;
    static std::string Read(const std::string& path);
    // Dates written from now on are 6 December 2026.
    static void PinDate();

private:
    std::filesystem::path m_dir;
};
