#include "cli/qt/PrintCli.h"

#include "app/TextEncoding.h"
#include "cli/qt/StreamDevice.h"
#include "index/IndexFile.h"
#include "index/ReplacingFile.h"
#include "print/qt/IndexPrintout.h"

#include <QGuiApplication>
#include <QPageLayout>
#include <QPdfWriter>

#include <cstdlib>
#include <memory>
#include <ostream>

namespace tamblin {

namespace {

// The command line has no display; a Qt Gui application is still needed for the fonts.
std::unique_ptr<QGuiApplication> EnsureGuiApplication() {
    if (QCoreApplication::instance()) {
        return nullptr;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    static int argc = 1;
    static char name[] = "tamblin-cli";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

bool ParsePoints(const std::string& text, int& points) {
    char* end = nullptr;
    long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != 0 || value < 5 || value > 48) {
        return false;
    }
    points = static_cast<int>(value);
    return true;
}

} // namespace

PrintCli::PrintCli(std::ostream& out, std::ostream& err) : m_out(out), m_err(err) {}

void PrintCli::PrintHelp(std::ostream& stream) {
    stream << "Usage: tamblin-cli print FILE.xo -o OUT.pdf [OPTIONS]\n"
              "\n"
              "Prints the index FILE.xo to the PDF file OUT.pdf (A4), as Print in Tamblin\n"
              "prints it: page 1 starts with a summary of the file, then every entry follows.\n"
              "\n"
              "Options:\n"
              "  -o, --output OUT.pdf  The PDF file to write (required).\n"
              "  --full                A block of labelled lines for every entry (default).\n"
              "  --summary             One indented line for every entry.\n"
              "  --font FACE           The font face (default Arial, or a similar one).\n"
              "  --size POINTS         The font size, 5 to 48 points (default 10).\n"
              "  --force               Replace OUT.pdf even when it is read-only.\n"
              "\n"
              "Exit status: 0 printed, 1 printed but the file has bad lines, 2 FILE could not\n"
              "be opened or OUT written, 64 wrong usage.\n"
              "The date in the page headers honours SOURCE_DATE_EPOCH.\n";
}

int PrintCli::Usage(const std::string& problem) {
    m_err << "tamblin-cli print: " << problem << "\n";
    PrintHelp(m_err);
    return kUsage;
}

// Returns -1 when the arguments ask for a printout, else the exit code to end with.
int PrintCli::ParseArgs(const std::vector<std::string>& args, Request& request) {
    request.options.summary = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        bool hasValue = i + 1 < args.size();
        if (arg == "--help" || arg == "-h") {
            PrintHelp(m_out);
            return kClean;
        } else if ((arg == "-o" || arg == "--output") && hasValue) {
            request.output = args[++i];
        } else if (arg == "--force") {
            request.replace.replaceReadOnly = true;
        } else if (arg == "--summary" || arg == "--full") {
            request.options.summary = arg == "--summary";
        } else if (arg == "--font" && hasValue) {
            request.options.face = QString::fromLocal8Bit(args[++i].c_str());
        } else if (arg == "--size" && hasValue) {
            if (!ParsePoints(args[++i], request.options.points)) {
                return Usage("the size must be a whole number of points from 5 to 48");
            }
        } else if ((arg.size() > 1 && arg[0] == '-') || !request.input.empty()) {
            return Usage("wrong argument: " + arg);
        } else {
            request.input = arg;
        }
    }
    if (request.input.empty() || request.output.empty()) {
        return Usage("FILE.xo and -o OUT.pdf are required");
    }
    return -1;
}

int PrintCli::Run(const std::vector<std::string>& args) {
    Request request;
    if (int code = ParseArgs(args, request); code >= 0) {
        return code;
    }
    IndexFile index;
    if (LoadResult loaded = index.LoadIndex(request.input); loaded != LoadResult::Opened) {
        m_err << (loaded == LoadResult::CannotOpen ? "Could not open file (" + request.input + ")"
                                                   : request.input + " is not an index file")
              << "\n";
        return kCannotOpen;
    }
    if (!index.BadLines().empty()) {
        m_err << index.BadLinesMessage();
    }
    if (!WritePdf(index, request)) {
        return kCannotOpen;
    }
    return index.BadLines().empty() ? kClean : kBadLines;
}

bool PrintCli::WritePdf(const IndexFile& index, const Request& request) {
    std::unique_ptr<QGuiApplication> application = EnsureGuiApplication();
    bool utf8 = DetectEncoding(index) == TextEncoding::Utf8;
    IndexPrintout printout(index, request.options, [utf8](const std::string& bytes) {
        return QString::fromStdString(utf8 ? bytes : Windows1252ToUtf8(bytes));
    });
    ReplacingFile file(request.output, request.replace);
    if (!file.IsOpen()) {
        m_err << CouldNotSaveText(request.output, file.Result())
              << (file.Result().status == SaveStatus::ReadOnly ? "; --force replaces it\n" : "\n");
        return false;
    }
    StreamDevice device(file.Stream());
    QPdfWriter writer(&device);
    writer.setCreator(QStringLiteral("Tamblin"));
    writer.setTitle(QString::fromStdString(utf8 ? index.m_description
                                                : Windows1252ToUtf8(index.m_description)));
    // A printer cannot print to the paper's edge either.
    writer.setPageMargins(QMarginsF(0.25, 0.25, 0.25, 0.25), QPageLayout::Inch);
    if (!printout.Paint(writer) || !file.Commit()) {
        file.Abandon();
        m_err << CouldNotSaveText(request.output, file.Result()) << "\n";
        return false;
    }
    return true;
}

} // namespace tamblin
