#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace tamblin {

struct SearchPageSettings;

// "tamblin-cli searchpage": writes a search page from options, the same bytes the New web
// page wizard writes, and copies the applet's files beside it.
class SearchPageCli final {
public:
    SearchPageCli(std::ostream& out, std::ostream& err);

    // `args` follow the word "searchpage". Returns the process exit code.
    int Run(const std::vector<std::string>& args);
    static void PrintHelp(std::ostream& stream);

    static constexpr int kWritten = 0;
    static constexpr int kCannotWrite = 2;
    // The page is written, but some of the applet's files could not be copied beside it.
    static constexpr int kCopiesFailed = 1;
    static constexpr int kUsage = 64;

private:
    bool Parse(const std::vector<std::string>& args, SearchPageSettings& settings);
    bool ParseOption(const std::string& name, const std::vector<std::string>& args, size_t& i,
                     SearchPageSettings& settings);
    bool IndexOption(const std::string& name, const std::string& value,
                     SearchPageSettings& settings);
    bool SettingOption(const std::string& name, const std::string& value,
                       SearchPageSettings& settings);
    bool SwitchOption(const std::string& name, SearchPageSettings& settings);
    bool NumberOption(const std::string& name, const std::string& value,
                      SearchPageSettings& settings);
    bool Fail(const std::string& text);
    bool FilesBesidePage(const SearchPageSettings& settings);

    std::ostream& m_out;
    std::ostream& m_err;
    std::string m_outputPath;
    std::string m_redistDirectory;
    bool m_noCopy = false;
    bool m_force = false;
    bool m_noWebViewer = false;
    bool m_noCompanion = false;
    std::string m_layout = "classic";
};

// The directory of the running program, ending in a separator.
std::string ProgramDirectory();

} // namespace tamblin
