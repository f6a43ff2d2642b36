#include "app/CommandLineInfo.h"

#include "index/TextUtils.h"

namespace tamblin {

namespace {

// Both "-p" and "--p" are accepted.
std::string SwitchName(const std::string& argument) {
    size_t start = argument.rfind("--", 0) == 0 ? 2 : 1;
    return AsciiLower(argument.substr(start));
}

} // namespace

CommandLineInfo CommandLineInfo::Parse(const std::vector<std::string>& arguments) {
    CommandLineInfo info;
    bool printTo = false;
    size_t printToParameter = 0;
    for (const std::string& argument : arguments) {
        bool isSwitch = argument.size() > 1 && argument[0] == '-';
        if (isSwitch) {
            std::string name = SwitchName(argument);
            if (name == "p") {
                info.action = Action::FilePrint;
            } else if (name == "pt") {
                printTo = true;
                info.action = Action::FilePrintTo;
            } else if (name == "embedding" || name == "automation" || name == "dde") {
                info.showSplash = false;
            }
            continue;
        }
        if (info.fileName.empty()) {
            info.fileName = argument;
            if (info.action == Action::FileNew) {
                info.action = Action::FileOpen;
            }
        } else if (printTo && printToParameter++ == 0) {
            info.printerName = argument;
        }
    }
    if ((info.action == Action::FilePrint || info.action == Action::FilePrintTo) &&
        info.fileName.empty()) {
        info.action = Action::FileNew;
    }
    if (info.action == Action::FilePrint || info.action == Action::FilePrintTo) {
        info.showSplash = false;
    }
    return info;
}

} // namespace tamblin
