// The script viewer on a large index, in Qt WebEngine offscreen:
//   bench_webviewer [ENTRIES] [KEYWORDS_PER_ENTRY]   (default 50000 and 2)
// Prints the time to the first shown contents tree and per keystroke in Look for, against
// the time the same engine takes to read the file's text and split it on line ends.
#include "WebViewerPage.h"
#include "searchpage/SearchPageText.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

void WriteIndex(const std::string& path, long entries, long keywords) {
    std::ofstream out(path, std::ios::binary);
    out << "XO0;2;1;1;Tamblin 1.1.18\r\n1;Benchmark site;December 6 2026\r\n";
    for (int b = 1; b <= 4; ++b) {
        out << "3;" << b << ";http://www.example.com/area" << b << "/;main\r\n";
    }
    for (long id = 1; id <= entries; ++id) {
        long parent = id <= 10 ? 0 : (id - 1) / 10;
        out << "5;" << id << ";" << id % 4 + 1 << ";page" << id << ".htm;Page number " << id << ";;"
            << parent << ";\r\n";
        for (long k = 0; k < keywords; ++k) {
            out << "7;&" << id << " keyword " << k << ";&" << id << "#anchor" << k << ";&" << id
                << " (section " << k << ");\r\n";
        }
    }
}

std::string PageText() {
    tamblin::SearchPageSettings settings;
    tamblin::IndexParameter index;
    index.indexFile = "big.xo";
    settings.indexParameters.push_back(index);
    std::string page = tamblin::SearchPageText(settings);
    if (page.find("navora-web.js") == std::string::npos) {
        const std::string close = "</APPLET>\r\n";
        page.insert(page.find(close) + close.size(), "<SCRIPT SRC=\"navora-web.js\"></SCRIPT>\r\n");
    }
    // The moment the viewer's tree is first painted.
    const std::string head = "<HEAD>\r\n";
    page.insert(page.find(head) + head.size(),
                "<SCRIPT>document.addEventListener('navora-web-tree', () => "
                "requestAnimationFrame(() => setTimeout(() => { window.shownAt = "
                "performance.now(); }, 0)));\r\n"
                "document.addEventListener('navora-web-ready', () => { window.readAt = "
                "performance.now(); });</SCRIPT>\r\n");
    return page;
}

// Reading the same file and splitting its text on line ends, in milliseconds.
const char* kBaseline = R"JS(
new Promise((resolve) => {
  const t0 = performance.now();
  const r = new XMLHttpRequest();
  r.open('GET', 'big.xo');
  r.responseType = 'arraybuffer';
  r.onload = () => {
    const lines = new TextDecoder('windows-1252').decode(r.response).split(/\r?\n/);
    window.baseline = performance.now() - t0;
    window.baselineLines = lines.length;
    resolve(true);
  };
  r.send();
}); true
)JS";

// Types a word letter by letter, then deletes it; the largest and mean time of one keystroke
// including the layout it causes.
const char* kTyping = R"JS(
(() => {
  const v = document.querySelector('.nv-viewer');
  const t0 = performance.now();
  v.querySelector('[role=tab][data-name=index]').click();
  const input = v.querySelector('.nv-input');
  input.value = '';
  input.dispatchEvent(new Event('input'));
  v.offsetHeight;
  const firstIndex = performance.now() - t0;
  const times = [];
  const word = 'page number 4321 keyword 1';
  const steps = [];
  for (let i = 1; i <= word.length; ++i) steps.push(word.slice(0, i));
  for (let i = word.length - 1; i >= 0; --i) steps.push(word.slice(0, i));
  for (const text of steps) {
    const s = performance.now();
    input.value = text;
    input.dispatchEvent(new Event('input'));
    v.querySelector('.nv-index .nv-row') && v.offsetHeight;
    times.push(performance.now() - s);
  }
  const rows = v.querySelectorAll('.nv-index .nv-row').length;
  return [firstIndex, Math.max(...times), times.reduce((a, b) => a + b, 0) / times.length, rows];
})()
)JS";

} // namespace

int main(int argc, char** argv) {
    long entries = argc > 1 ? std::atol(argv[1]) : 50000;
    long keywords = argc > 2 ? std::atol(argv[2]) : 2;
    WebViewerPage::Start();
    QString redist = QCoreApplication::applicationDirPath() + "/Redist";
    QTemporaryDir dir;
    const QStringList names = QDir(redist).entryList({"navora-web*"}, QDir::Files);
    if (!names.contains("navora-web.js")) {
        std::fprintf(stderr, "no navora-web.js in %s\n", qPrintable(redist));
        return 1;
    }
    for (const QString& name : names) {
        QFile::copy(redist + "/" + name, dir.filePath(name));
    }
    WriteIndex(dir.filePath("big.xo").toStdString(), entries, keywords);
    std::ofstream(dir.filePath("search.html").toStdString(), std::ios::binary) << PageText();

    double best = 1e9;
    double whole = 1e9;
    double baseline = 1e9;
    WebViewerPage page(1000, 700);
    for (int run = 0; run < 3; ++run) {
        page.Load(dir.filePath("search.html"));
        if (!page.WaitFor("window.shownAt", 120000)) {
            std::fprintf(stderr, "the viewer never showed its tree\n");
            return 1;
        }
        best = std::min(best, page.Eval("window.shownAt").toDouble());
        page.WaitFor("window.readAt", 120000);
        whole = std::min(whole, page.Eval("window.readAt").toDouble());
        page.Eval(kBaseline);
        page.WaitFor("window.baseline !== undefined", 120000);
        baseline = std::min(baseline, page.Eval("window.baseline").toDouble());
    }
    QVariantMap timings = page.Eval("NavoraWeb.viewers[0].timings").toMap();
    QVariantList typing = page.Eval(kTyping).toList();
    QFileInfo file(dir.filePath("big.xo"));
    std::printf("script viewer: %ld entries, %ld keywords, %lld bytes\n", entries,
                entries * keywords, static_cast<long long>(file.size()));
    std::printf("first tree shown: %.0f ms   read+split baseline: %.0f ms   aim: under %.0f ms "
                "(2x baseline + 300)\n",
                best, baseline, 2 * baseline + 300);
    std::printf("whole index read (keywords after the tree): %.0f ms\n", whole);
    std::printf(
        "  of the last run: file read at %.0f ms, decoding %.0f ms, reading the entries %.0f ms, "
        "showing %.0f ms\n",
        timings["read"].toDouble(), timings["decode"].toDouble(), timings["parse"].toDouble(),
        timings["show"].toDouble());
    if (typing.size() == 4) {
        std::printf("first Index tab (sorting the keywords): %.0f ms\n", typing[0].toDouble());
        std::printf("Look for keystroke: max %.1f ms, mean %.1f ms (aim: under 50 ms)\n",
                    typing[1].toDouble(), typing[2].toDouble());
    }
    return 0;
}
