// Laying out every page of a large index, against loading that index in the same run.
//   build/bin/bench_print_layout [ENTRIES]   (default 100000, 2 keywords each)
// Prints the ratios layout / load for the full and the summary print, and how the layout
// time grows when the index doubles; linear is 2.00x.
#include "index/IndexFile.h"
#include "print/IndexPrintLayout.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

using tamblin::IndexFile;
using tamblin::IndexPrintLayout;

// The shape gen_index writes: a tree of fan-out 10 under four base URLs.
std::string WriteIndex(long entries) {
    std::string path = (std::filesystem::temp_directory_path() / "tamblin-bench-print.xo").string();
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << "XO0;2;1;1;Tamblin 1.1.18\r\n1;Benchmark site;December 6 2026\r\n";
    for (int b = 1; b <= 4; ++b) {
        file << "3;" << b << ";http://www.example.com/area" << b << "/;main\r\n";
    }
    for (long id = 1; id <= entries; ++id) {
        long parent = id <= 10 ? 0 : (id - 1) / 10;
        file << "5;" << id << ";" << id % 4 + 1 << ";page" << id << ".htm;Page number " << id
             << ";;" << parent << ";\r\n";
        for (int k = 0; k < 2; ++k) {
            file << "7;&" << id << " keyword " << k << ";&" << id << "#anchor" << k << ";&" << id
                 << " (section " << k << ");\r\n";
        }
    }
    return path;
}

template <class Work> double BestMilliseconds(Work&& work) {
    double best = 1e30;
    for (int run = 0; run < 5; ++run) {
        auto start = std::chrono::steady_clock::now();
        work();
        std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

struct Times {
    double load;
    double full;
    double summary;
    size_t fullPages;
    size_t summaryPages;
};

Times Measure(long entries) {
    std::string path = WriteIndex(entries);
    Times times{};
    times.load = BestMilliseconds([&] {
        auto index = std::make_unique<IndexFile>();
        index->Load(path);
    });
    IndexFile index;
    index.Load(path);
    // Letter paper's printable area at 10 points.
    IndexPrintLayout::Geometry geometry{13, 800, -1050};
    times.full = BestMilliseconds([&] {
        times.fullPages = IndexPrintLayout(index, geometry, false, "date").AllPages().size();
    });
    times.summary = BestMilliseconds([&] {
        times.summaryPages = IndexPrintLayout(index, geometry, true, "date").AllPages().size();
    });
    std::remove(path.c_str());
    return times;
}

} // namespace

int main(int argc, char** argv) {
    long entries = argc > 1 ? std::atol(argv[1]) : 100000;
    Times single = Measure(entries);
    Times doubled = Measure(entries * 2);
    std::printf("index: %ld entries, 2 keywords each; load %.1f ms (baseline)\n", entries,
                single.load);
    std::printf("full print, all %zu pages: %.1f ms, ratio layout/load %.2f\n", single.fullPages,
                single.full, single.full / single.load);
    std::printf("summary print, all %zu pages: %.1f ms, ratio layout/load %.2f\n",
                single.summaryPages, single.summary, single.summary / single.load);
    std::printf("doubled index: full %.1f ms (growth %.2fx), summary %.1f ms (growth %.2fx); "
                "linear is 2.00x\n",
                doubled.full, doubled.full / single.full, doubled.summary,
                doubled.summary / single.summary);
    return 0;
}
