#pragma once

#include <string>
#include <vector>

namespace tamblin {

// What the command line asks for. Switches start with "-" (a "/" starts a path here); the
// first other argument is the file.
struct CommandLineInfo {
    enum class Action { FileNew, FileOpen, FilePrint, FilePrintTo };

    Action action = Action::FileNew;
    std::string fileName;
    std::string printerName; // for FilePrintTo
    bool showSplash = true;

    static CommandLineInfo Parse(const std::vector<std::string>& arguments);
};

} // namespace tamblin
