// Editing a large contents tree: opening a file of N entries (fan-out 10, every node
// expanded) and then deleting, undoing, pasting and moving top-level entries, each of
// which carries about a tenth of the file. The same steps on a file of 2N entries give
// the growth; linear is 2.00x. Each edit is also given as a ratio of the rebuild measured
// in the same run.
//   QT_QPA_PLATFORM=offscreen build/bin/bench_contents_edit [ENTRIES]
#include "contents/ui/CContentsView.h"
#include "document/ui/CXoDoc.h"
#include "index/IndexFile.h"
#include "platform/DialogService.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>

namespace {

// Every question is answered OK, so Delete goes ahead.
class AnswerOk final : public tamblin::DialogService {
public:
    Answer ShowMessage(QWidget*, const Message&) override { return Answer::Ok; }
    QString PromptFile(QWidget*, const FileRequest&) override { return {}; }
};

std::string WriteIndex(int entries) {
    std::string path = QDir::tempPath().toStdString() + "/tamblin-bench-edit.xo";
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << "XO0;2;1;1;Tamblin 1.1.18\r\n1;Bench;December 6 2026\r\n3;1;docs/;\r\n";
    for (int i = 1; i <= entries; ++i) {
        file << "5;" << i << ";1;p" << i << ".htm;Page " << i << ";;"
             << (i <= 10 ? 0 : (i - 1) / 10) << ";\r\n";
    }
    return path;
}

double Milliseconds(const std::function<void()>& step) {
    QElapsedTimer timer;
    timer.start();
    step();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

struct Figures {
    double open = 0, rebuild = 0, remove = 0, undo = 0, paste = 0, move = 0;
};

Figures Measure(int entries) {
    std::string path = WriteIndex(entries);
    tamblin::CXoDoc document;
    tamblin::CContentsView view;
    view.resize(400, 600);
    view.SetDocument(&document);
    Figures f;
    f.open = Milliseconds([&] {
        document.OpenIndex(QString::fromStdString(path));
        document.UpdateAllViews();
    });
    view.expandAll();
    for (int run = 0; run < 3; ++run) {
        double measured = Milliseconds([&] { document.UpdateAllViews(); });
        f.rebuild = run == 0 ? measured : std::min(f.rebuild, measured);
    }
    QTreeWidgetItem* root = view.RootNode();
    // Best of three of each edit; each round leaves a tree of about the same size.
    auto best = [](double& figure, double measured) {
        figure = figure == 0 ? measured : std::min(figure, measured);
    };
    for (int round = 0; round < 3; ++round) {
        view.setCurrentItem(root->child(0));
        best(f.remove, Milliseconds([&] { view.OnDelete(); }));
        best(f.undo, Milliseconds([&] { view.OnUndo(); }));
        view.setCurrentItem(root->child(0));
        view.OnCopy();
        view.setCurrentItem(root->child(1));
        best(f.paste, Milliseconds([&] { view.OnPaste(); }));
        // Drag the second entry onto the root, which puts it first; the root is on screen
        // while the second entry, below the expanded first, is not.
        QTreeWidgetItem* second = root->child(1);
        tamblin::IndexEntry* secondEntry = tamblin::CContentsView::EntryOf(second);
        view.scrollToTop();
        best(f.move, Milliseconds([&] {
                 view.BeginDrag(second, QPoint(4, 4));
                 view.DragMove(view.visualItemRect(root).topLeft() + QPoint(4, 4));
                 view.Drop(false);
             }));
        if (tamblin::CContentsView::EntryOf(root->child(0)) != secondEntry) {
            std::fprintf(stderr, "the move did not happen\n");
        }
        view.setCurrentItem(root->child(2));
        view.OnCut();
    }
    std::remove(path.c_str());
    return f;
}

void Print(int entries, const Figures& f) {
    std::printf("%7d entries: open %.1f ms, rebuild %.1f ms, delete %.1f ms, undo %.1f ms, "
                "paste %.1f ms, move %.1f ms\n",
                entries, f.open, f.rebuild, f.remove, f.undo, f.paste, f.move);
    std::printf("                edit / rebuild: delete %.2f, undo %.2f, paste %.2f, move %.2f\n",
                f.remove / f.rebuild, f.undo / f.rebuild, f.paste / f.rebuild, f.move / f.rebuild);
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    AnswerOk answers;
    tamblin::SetDialogService(&answers);
    int entries = argc > 1 ? std::atoi(argv[1]) : 50000;
    Figures single = Measure(entries);
    Figures doubled = Measure(entries * 2);
    Print(entries, single);
    Print(entries * 2, doubled);
    std::printf("growth when the file doubles (linear is 2.00x): rebuild %.2fx, delete %.2fx, "
                "undo %.2fx, paste %.2fx, move %.2fx\n",
                doubled.rebuild / single.rebuild, doubled.remove / single.remove,
                doubled.undo / single.undo, doubled.paste / single.paste,
                doubled.move / single.move);
    tamblin::SetDialogService(nullptr);
    return 0;
}
