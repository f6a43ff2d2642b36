// Undo on a large contents tree: 10,000 drag moves of top-level entries on a file of N
// entries (N/100 top-level entries with 99 children each), then every move undone and
// redone through the view. Each step is given as a ratio of counting the whole tree,
// measured in the same run, and the history's memory is read after half and all of the
// moves, so that its growth per step can be compared.
//   QT_QPA_PLATFORM=offscreen build/bin/bench_undo [ENTRIES] [MOVES]
#include "contents/ui/CContentsView.h"
#include "document/ui/CXoDoc.h"
#include "index/IndexEntry.h"
#include "index/IndexFile.h"
#include "platform/DialogService.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

class AnswerOk final : public tamblin::DialogService {
public:
    Answer ShowMessage(QWidget*, const Message&) override { return Answer::Ok; }
    QString PromptFile(QWidget*, const FileRequest&) override { return {}; }
};

std::string WriteIndex(int entries) {
    std::string path = QDir::tempPath().toStdString() + "/tamblin-bench-undo.xo";
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << "XO0;2;1;1;Tamblin 1.1.18\r\n1;Bench;December 6 2026\r\n3;1;docs/;\r\n";
    int top = entries / 100;
    int id = 0;
    for (int t = 0; t < top; ++t) {
        int parent = ++id;
        file << "5;" << parent << ";1;t" << t << ".htm;Top " << t << ";;0;\r\n";
        for (int c = 0; c < 99; ++c) {
            ++id;
            file << "5;" << id << ";1;p" << id << ".htm;Page " << id << ";;" << parent << ";\r\n";
        }
    }
    return path;
}

long ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    long size = 0;
    long resident = 0;
    statm >> size >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

std::vector<const tamblin::IndexEntry*> TopLevel(const tamblin::IndexFile& index) {
    std::vector<const tamblin::IndexEntry*> order;
    for (const auto& child : index.m_root.m_children) {
        order.push_back(child.get());
    }
    return order;
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    AnswerOk answers;
    tamblin::SetDialogService(&answers);
    int entries = argc > 1 ? std::atoi(argv[1]) : 50000;
    int moves = argc > 2 ? std::atoi(argv[2]) : 10000;
    std::string path = WriteIndex(entries);
    tamblin::CXoDoc document;
    tamblin::CContentsView view;
    view.resize(400, 800);
    view.SetDocument(&document);
    view.show();
    document.OpenIndex(QString::fromStdString(path));
    document.UpdateAllViews();
    std::remove(path.c_str());
    tamblin::IndexFile& index = *document.Index();
    std::vector<const tamblin::IndexEntry*> original = TopLevel(index);

    // The baseline: counting every entry and keyword of the tree, best of five.
    double count = 0;
    int urls = 0;
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer timer;
        timer.start();
        int keywords = 0;
        urls = 0;
        index.m_root.CountUrlsAndKeywords(urls, keywords);
        double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
        count = run == 0 ? ms : std::min(count, ms);
    }

    QTreeWidgetItem* root = view.RootNode();
    view.scrollToTop();
    auto at = [&view](QTreeWidgetItem* node) {
        return view.visualItemRect(node).topLeft() + QPoint(4, 4);
    };
    long rssBefore = ResidentBytes();
    std::size_t historyHalf = 0;
    long rssHalf = 0;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < moves; ++i) {
        // A collapsed top-level entry with 99 children dropped after another one on screen.
        QTreeWidgetItem* dragged = root->child(1 + i % 20);
        QTreeWidgetItem* target = root->child(1 + (i + 7) % 20);
        view.BeginDrag(dragged, at(dragged));
        view.DragMove(at(target));
        view.Drop(false);
        if (i + 1 == moves / 2) {
            historyHalf = document.History().Bytes();
            rssHalf = ResidentBytes();
        }
    }
    double step = static_cast<double>(timer.nsecsElapsed()) / 1e6 / moves;
    std::size_t historyAll = document.History().Bytes();
    long rssAll = ResidentBytes();
    std::size_t steps = document.History().UndoCount();

    timer.restart();
    while (view.CanUndo()) {
        view.OnUndo();
    }
    double undo = static_cast<double>(timer.nsecsElapsed()) / 1e6 / static_cast<double>(steps);
    bool restored = TopLevel(index) == original && !document.IsModified();

    timer.restart();
    while (view.CanRedo()) {
        view.OnRedo();
    }
    double redo = static_cast<double>(timer.nsecsElapsed()) / 1e6 / static_cast<double>(steps);

    std::printf("%d entries (%d counted), %zu moves recorded of %d\n", entries, urls, steps, moves);
    std::printf("count the tree (baseline): %.3f ms\n", count);
    std::printf("per move %.3f ms (%.2f x count), per undo %.3f ms (%.2f x count), "
                "per redo %.3f ms (%.2f x count)\n",
                step, step / count, undo, undo / count, redo, redo / count);
    std::printf("undo all gives back the original order, unmodified: %s\n",
                restored ? "yes" : "NO");
    std::printf("history memory: %.1f bytes per step over the first half, %.1f over the "
                "second (linear: equal)\n",
                static_cast<double>(historyHalf) / (moves / 2),
                static_cast<double>(historyAll - historyHalf) / (moves - moves / 2));
    std::printf("process growth: %.1f bytes per step over the first half, %.1f over the "
                "second\n",
                static_cast<double>(rssHalf - rssBefore) / (moves / 2),
                static_cast<double>(rssAll - rssHalf) / (moves - moves / 2));
    tamblin::SetDialogService(nullptr);
    return restored ? 0 : 1;
}
