// Find next over a large index: a text that only the last entry holds, searched from the
// root, then again from the entry before it (the walk must pass over the whole tree to learn
// where that entry sits). Trees of N and 2N entries (fan-out 10, two keywords each) give
// the growth, linear being 2.00x; a chain N deep shows that depth costs no more than
// breadth. Each find is also given as a ratio of counting the same tree's URLs and
// keywords, measured in the same run.
//   build/bin/bench_find [ENTRIES]
#include "find/IndexFinder.h"
#include "index/IndexEntry.h"
#include "index/IndexFile.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using tamblin::IndexEntry;

IndexEntry* Add(IndexEntry& parent, int i) {
    std::string name = std::to_string(i);
    auto entry = std::make_unique<IndexEntry>(i, nullptr, "page" + name + ".htm",
                                              "Page number " + name, "", 0, "", 1);
    entry->m_keywords.emplace_back(entry.get(), "Keyword " + name, "#a" + name, "", "", 0);
    entry->m_keywords.emplace_back(entry.get(), "Other phrase", "", " part", "", 0);
    IndexEntry* added = entry.get();
    parent.AppendChild(std::move(entry));
    return added;
}

// Returns the last entry and the one before it, in walk order.
std::pair<IndexEntry*, IndexEntry*> Build(tamblin::IndexFile& index, int entries, bool deep) {
    std::vector<IndexEntry*> all{&index.m_root};
    for (int i = 1; i <= entries; ++i) {
        IndexEntry& parent = deep ? *all.back() : *all[static_cast<size_t>((i - 1) / 10)];
        all.push_back(Add(parent, i));
    }
    all.back()->m_title = "The needle page";
    return {all.back(), all[all.size() - 2]};
}

double Milliseconds(const std::function<void()>& step) {
    auto start = std::chrono::steady_clock::now();
    step();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

struct Figures {
    double count = 0, fromRoot = 0, fromNear = 0;
};

// One round on `index`: fresh finders, so neither search counts as a repeat.
Figures Round(tamblin::IndexFile& index, IndexEntry* last, IndexEntry* beforeLast) {
    Figures f;
    f.count = Milliseconds([&] {
        int urls = 0;
        int keywords = 0;
        index.m_root.CountUrlsAndKeywords(urls, keywords);
    });
    tamblin::FindRequest request;
    request.text = "NEEDLE";
    tamblin::IndexFinder::Result fromRoot;
    tamblin::IndexFinder::Result fromNear;
    f.fromRoot =
        Milliseconds([&] { fromRoot = tamblin::IndexFinder().FindNext(index, nullptr, request); });
    f.fromNear = Milliseconds(
        [&] { fromNear = tamblin::IndexFinder().FindNext(index, beforeLast, request); });
    if (fromRoot.hit.node != last || fromNear.hit.node != last) {
        std::fprintf(stderr, "find missed the last entry\n");
        std::exit(1);
    }
    return f;
}

// Best of three rounds, as the machine may be busy.
Figures Measure(int entries, bool deep) {
    tamblin::IndexFile index;
    auto [last, beforeLast] = Build(index, entries, deep);
    Figures best = Round(index, last, beforeLast);
    for (int round = 1; round < 3; ++round) {
        Figures f = Round(index, last, beforeLast);
        best.count = std::min(best.count, f.count);
        best.fromRoot = std::min(best.fromRoot, f.fromRoot);
        best.fromNear = std::min(best.fromNear, f.fromNear);
    }
    return best;
}

void Report(const char* shape, int entries, bool deep) {
    Figures small = Measure(entries, deep);
    Figures large = Measure(2 * entries, deep);
    std::printf("%s, %d entries: count %.1f ms, find from root %.1f ms (%.1fx count), "
                "find from the last but one %.1f ms (%.1fx count)\n",
                shape, entries, small.count, small.fromRoot, small.fromRoot / small.count,
                small.fromNear, small.fromNear / small.count);
    std::printf("%s, %d entries: find from root %.2fx, from the last but one %.2fx, "
                "count %.2fx the smaller tree\n",
                shape, 2 * entries, large.fromRoot / small.fromRoot,
                large.fromNear / small.fromNear, large.count / small.count);
}

} // namespace

int main(int argc, char** argv) {
    int entries = argc > 1 ? std::atoi(argv[1]) : 200000;
    if (entries < 2) {
        std::fprintf(stderr, "usage: bench_find [ENTRIES >= 2]\n");
        return 2;
    }
    Report("fan-out 10", entries, false);
    Report("chain", entries, true);
    return 0;
}
