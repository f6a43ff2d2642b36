#include "cli/CliCommands.h"
#ifdef TAMBLIN_CLI_PRINT
#include "cli/qt/PrintCli.h"
#endif

#include <atomic>
#include <csignal>
#include <iostream>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

std::atomic<int> g_cancel{0};
static_assert(std::atomic<int>::is_always_lock_free, "set from a signal handler");

// Ctrl+C cancels a scan, which still writes what it has; a second Ctrl+C ends the program
// at once (the handler is reset as it runs).
extern "C" void OnInterrupt(int) {
    g_cancel.store(1, std::memory_order_relaxed);
}

int TerminalWidth() {
    winsize size{};
    if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) {
        return size.ws_col;
    }
    return 80;
}

} // namespace

#if defined(__linux__) && defined(__GLIBC__)
#include <cstdlib>

namespace {

// A large index is hundreds of thousands of small blocks. Asking the allocator for
// transparent huge pages lets the kernel map them 2 MiB at a time instead of taking a fault
// for every 4 KiB page, which was a third of a large conversion's time. Only the main heap
// gets them: a thread's own heap grows 4 KiB at a time, and a block past the mmap threshold
// is mapped and unmapped by itself, so the scan's word thread, whose lists of pages grow by
// doubling, took most of a scan's faults; one heap for all threads and no separate mappings
// below 32 MiB keep them on huge pages. Nor is the heap's top given back when blocks there
// are freed: each fresh huge page is 2 MiB to clear again, and a scan with words cleared
// half as many again. The allocator reads these settings only at start-up, hence the one
// re-execution; if that fails we carry on.
void PreferHugePages(char** argv) {
    if (std::getenv("GLIBC_TUNABLES") != nullptr) {
        return;
    }
    setenv("GLIBC_TUNABLES",
           "glibc.malloc.hugetlb=1:glibc.malloc.arena_max=1:glibc.malloc.mmap_threshold=33554432:"
           "glibc.malloc.trim_threshold=536870912",
           1);
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
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    std::vector<std::string> args(argv + 1, argv + argc);
    bool terminal = isatty(STDERR_FILENO) != 0;
    tamblin::CliCommands commands(std::cout, std::cerr, &g_cancel, terminal,
                                  terminal ? TerminalWidth() : 80);
    commands.SkipCleanupAtExit();
#ifdef TAMBLIN_CLI_PRINT
    commands.SetPrintCommand(
        [](const std::vector<std::string>& printArgs, std::ostream& out, std::ostream& err) {
            return tamblin::PrintCli(out, err).Run(printArgs);
        });
#endif
    return commands.Run(args);
}
