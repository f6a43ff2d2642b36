#include "cli/CliCommands.h"

#include <iostream>

#if defined(__linux__) && defined(__GLIBC__)
#include <cstdlib>
#include <unistd.h>

namespace {

// A large index is hundreds of thousands of small blocks. Asking the allocator for
// transparent huge pages lets the kernel map them 2 MiB at a time instead of taking a fault
// for every 4 KiB page, which was a third of a large conversion's time. The allocator reads
// this setting only at start-up, hence the one re-execution; if that fails we carry on.
void PreferHugePages(char** argv) {
    if (std::getenv("GLIBC_TUNABLES") != nullptr) {
        return;
    }
    setenv("GLIBC_TUNABLES", "glibc.malloc.hugetlb=1", 1);
    execv("/proc/self/exe", argv);
    unsetenv("GLIBC_TUNABLES");
}

} // namespace
#endif

int main(int argc, char** argv) {
#if defined(__linux__) && defined(__GLIBC__)
    PreferHugePages(argv);
#endif
    std::ios::sync_with_stdio(false);
    std::vector<std::string> args(argv + 1, argv + argc);
    tamblin::CliCommands commands(std::cout, std::cerr);
    commands.SkipCleanupAtExit();
    return commands.Run(args);
}
