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
#include <cstdint>
#include <cstdlib>
#include <malloc.h>
#include <sys/mman.h>

namespace {

// A large index is hundreds of thousands of small blocks. Huge pages let the kernel map them
// 2 MiB at a time instead of taking a fault for every 4 KiB page, which was a third of a
// large conversion's time. Only the main heap gets them; a block past the mmap threshold is
// mapped and unmapped by itself, so none below 32 MiB is. Nor is the heap's top given back
// when blocks there are freed: each fresh huge page is 2 MiB to clear again, and a scan with
// words cleared half as many again.
//
// The other threads share one heap of their own. A scan's word thread allocates as often as
// the scan's thread does, and with one heap for all, each waited on the other's lock: the
// word thread's 4 KiB faults in a heap of its own cost less (the Python docs' scan with words
// 0.80-0.92 s against 0.71-0.80 s, a generated site of 20,000 pages 1.27-1.32 against
// 1.06-1.15 s).
//
// The heap is asked for in one reservation that most work stays within, and that range is
// advised for huge pages here; growth past it gets ordinary pages. Setting the allocator's
// own huge-page option instead means running the program twice, as it is read only at
// start-up, and each start maps and relocates some seventy libraries: 40 ms a time.
constexpr size_t kHugePage = size_t{2} << 20;
constexpr size_t kHeapReservation = size_t{1} << 30;

void PreferHugePages() {
    mallopt(M_ARENA_MAX, 2);
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    mallopt(M_TOP_PAD, static_cast<int>(kHeapReservation));
    // A block larger than what is left at the heap's top makes it grow, by the reservation.
    auto start = reinterpret_cast<std::uintptr_t>(sbrk(0));
    void* first = malloc(kHugePage * 2);
    // Kept from the compiler, which may drop a block that is only freed.
    asm volatile("" : : "r"(first) : "memory");
    auto end = reinterpret_cast<std::uintptr_t>(sbrk(0));
    free(first);
    std::uintptr_t from = (start + kHugePage - 1) & ~(kHugePage - 1);
    std::uintptr_t to = end & ~(kHugePage - 1);
    if (to > from) {
        madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
    }
    // Later growth of the heap comes in steps of the usual size.
    mallopt(M_TOP_PAD, 128 << 10);
}

} // namespace
#endif

int main(int argc, char** argv) {
#if defined(__linux__) && defined(__GLIBC__)
    PreferHugePages();
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
