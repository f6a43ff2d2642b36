#include "NodeReference.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include <unistd.h>

std::vector<std::string> NodeReferenceLines(const std::string& script, const std::string& input) {
    char path[] = "/tmp/nodeinputXXXXXX";
    int fd = mkstemp(path);
    if (fd < 0) {
        return {};
    }
    close(fd);
    std::ofstream(path, std::ios::binary) << input;
    std::string command = "node " + script + " < " + path;
    std::vector<std::string> lines;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        std::string text;
        char buffer[65536];
        while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) {
            text.append(buffer, n);
        }
        pclose(pipe);
        std::istringstream stream(text);
        for (std::string line; std::getline(stream, line);) {
            lines.push_back(line);
        }
    }
    std::remove(path);
    return lines;
}
