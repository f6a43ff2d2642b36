#pragma once

#include <ostream>
#include <string>
#include <string_view>

namespace tamblin {

// Where the programs find what they ship with, worked out from their own directory. A build
// tree keeps everything beside the programs (bin/Doc, bin/Tamblin.HM, bin/Redist and the
// browser plugin); an installed copy splits it the usual way: bin/ for the programs,
// lib/tamblin/ for the plugin and share/tamblin/ for the help, the topic map and Redist/.
// The build layout wins where both could apply, so a build always runs what it built.
struct InstallLayout {
    static constexpr const char* kDataSubdirectory = "../share/tamblin/";
    static constexpr const char* kPluginSubdirectory = "../lib/tamblin/";
    static constexpr const char* kTopicMapName = "Tamblin.HM";
    static constexpr const char* kPluginName = "tamblin-browser.so";

    std::string programDirectory; // all three end in a separator
    std::string dataDirectory;    // Doc/, the topic map and Redist/
    std::string pluginDirectory;

    // programDirectory ends in a separator. Where neither layout holds a file, the program
    // directory is kept, so what is missing is reported where it always was.
    static InstallLayout Find(std::string_view programDirectory);
    // The directory of the running program (from /proc), with its separator; empty when
    // it cannot be had.
    static std::string RunningProgramDirectory();

    // One line per thing a running copy looks for, saying where and whether it is there,
    // for a user (or a test) to see what an installed copy finds. True when all are there.
    bool Report(bool pluginLoaded, std::ostream& out) const;
};

} // namespace tamblin
