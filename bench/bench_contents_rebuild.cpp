// Rebuilding the contents tree: a file of N entries and one of 2N, flat (all under the
// root) and nested (ten children per entry), with every node expanded. Prints how the
// time grows when the file doubles; linear is 2.00x.
//   QT_QPA_PLATFORM=offscreen build/bin/bench_contents_rebuild [ENTRIES]
#include "contents/ui/CContentsView.h"
#include "document/ui/CXoDoc.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

std::string WriteIndex(int entries, bool nested) {
    std::string path = QDir::tempPath().toStdString() + "/tamblin-bench-rebuild.xo";
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << "XO0;2;1;1;Tamblin 1.1.18\r\n1;Bench;December 6 2026\r\n";
    for (int i = 1; i <= entries; ++i) {
        file << "5;" << i << ";;p" << i << ".htm;Page " << i << ";;" << (nested ? (i - 1) / 10 : 0)
             << ";\r\n";
    }
    return path;
}

// Best of three rebuilds with every node expanded, in milliseconds.
double RebuildMilliseconds(int entries, bool nested) {
    std::string path = WriteIndex(entries, nested);
    tamblin::CXoDoc document;
    tamblin::CContentsView view;
    view.SetDocument(&document);
    document.OpenIndex(QString::fromStdString(path));
    document.UpdateAllViews();
    view.expandAll();
    double best = 1e30;
    for (int run = 0; run < 3; ++run) {
        QElapsedTimer timer;
        timer.start();
        document.UpdateAllViews();
        best = std::min(best, static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    std::remove(path.c_str());
    return best;
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    int entries = argc > 1 ? std::atoi(argv[1]) : 50000;
    for (bool nested : {false, true}) {
        double single = RebuildMilliseconds(entries, nested);
        double doubled = RebuildMilliseconds(entries * 2, nested);
        std::printf(
            "%s tree: %d entries %.1f ms, %d entries %.1f ms, growth %.2fx (linear is 2.00x)\n",
            nested ? "nested" : "flat  ", entries, single, entries * 2, doubled, doubled / single);
    }
    return 0;
}
