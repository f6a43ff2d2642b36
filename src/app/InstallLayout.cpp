#include "app/InstallLayout.h"

#include <filesystem>
#include <system_error>

namespace tamblin {

namespace {

bool Exists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(path, error);
}

// The first of the program directory and program directory + installed, that holds marker.
std::string Choose(const std::string& programDirectory, const char* installed, const char* marker) {
    if (Exists(programDirectory + marker)) {
        return programDirectory;
    }
    // Tidied ("/usr/bin/../share" becomes "/usr/share") before it is looked at, so that
    // messages and the help caption show a path a user recognises. The program directory
    // comes resolved from the system, so no link is skipped by doing it on the text.
    std::string candidate =
        std::filesystem::path(programDirectory + installed).lexically_normal().string();
    if (!candidate.empty() && candidate.back() != '/') {
        candidate += '/';
    }
    return Exists(candidate + marker) ? candidate : programDirectory;
}

} // namespace

bool InstallLayout::Report(bool pluginLoaded, std::ostream& out) const {
    bool complete = true;
    auto line = [&out, &complete](const char* what, const std::string& path, bool found) {
        out << what << ": " << path << (found ? "" : " (missing)") << '\n';
        complete = complete && found;
    };
    std::string help = dataDirectory + "Doc/Tamblin/";
    line("help pages", help, Exists(help + "Contents.htm"));
    line("topic map", dataDirectory + kTopicMapName, Exists(dataDirectory + kTopicMapName));
    line("redistributables", dataDirectory + "Redist/", Exists(dataDirectory + "Redist"));
    line("help viewer", programDirectory + "lumio", Exists(programDirectory + "lumio"));
    std::string plugin = pluginDirectory + kPluginName;
    out << "browser plugin: " << plugin << (pluginLoaded ? "" : " (not loaded)") << '\n';
    return complete && pluginLoaded;
}

InstallLayout InstallLayout::Find(std::string_view programDirectory) {
    InstallLayout layout;
    layout.programDirectory = std::string(programDirectory);
    layout.dataDirectory = Choose(layout.programDirectory, kDataSubdirectory, kTopicMapName);
    layout.pluginDirectory = Choose(layout.programDirectory, kPluginSubdirectory, kPluginName);
    return layout;
}

std::string InstallLayout::RunningProgramDirectory() {
    std::error_code error;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        return std::string();
    }
    return self.parent_path().string() + '/';
}

} // namespace tamblin
