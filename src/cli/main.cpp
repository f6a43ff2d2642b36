#include "cli/CliCommands.h"

#include <iostream>

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    std::vector<std::string> args(argv + 1, argv + argc);
    tamblin::CliCommands commands(std::cout, std::cerr);
    return commands.Run(args);
}
