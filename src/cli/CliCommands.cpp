#include "cli/CliCommands.h"

#include "cli/SearchPageCli.h"
#include "index/IndexFile.h"

#include <ostream>

namespace tamblin {

namespace {

// Messages written for a window use CR LF; a terminal wants plain line ends.
std::string PlainLineEnds(std::string text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;
        }
        out += text[i];
    }
    return out;
}

std::string CouldNotOpen(const std::string& path) {
    return "Could not open file (" + path + ")";
}

} // namespace

CliCommands::CliCommands(std::ostream& out, std::ostream& err) : m_out(out), m_err(err) {}

int CliCommands::PrintUsage(std::ostream& stream, int code) {
    stream
        << "Usage: tamblin-cli COMMAND ...\n"
           "\n"
           "Commands:\n"
           "  check FILE      Load an index file, report its bad lines and statistics.\n"
           "  convert IN OUT  Load IN and save it as OUT (format 2.1, renumbered, CR LF).\n"
           "  searchpage -o PAGE.html --index FILE.xo [OPTION ...]\n"
           "                  Write a search page that runs the applet (see searchpage --help).\n"
           "  --help          Show this text.\n"
           "\n"
           "Exit status: 0 clean, 1 the file has bad lines, 2 a file could not be opened\n"
           "or written, 64 wrong usage.\n"
           "Dates written honour SOURCE_DATE_EPOCH.\n";
    return code;
}

int CliCommands::Run(const std::vector<std::string>& args) {
    if (args.empty()) {
        return PrintUsage(m_err, kUsage);
    }
    const std::string& command = args[0];
    if (command == "--help" || command == "-h" || command == "help") {
        return PrintUsage(m_out, kClean);
    }
    if (command == "check" && args.size() == 2) {
        return Check(args[1]);
    }
    if (command == "convert" && args.size() == 3) {
        return Convert(args[1], args[2]);
    }
    if (command == "searchpage") {
        return SearchPageCli(m_out, m_err).Run({args.begin() + 1, args.end()});
    }
    m_err << "tamblin-cli: unknown command or wrong arguments: " << command << "\n";
    return PrintUsage(m_err, kUsage);
}

void CliCommands::Dispose(std::unique_ptr<IndexFile> index) const {
    if (m_skipCleanup) {
        (void)index.release();
    }
}

int CliCommands::Check(const std::string& path) {
    auto owned = std::make_unique<IndexFile>();
    IndexFile& index = *owned;
    if (!index.Load(path)) {
        m_err << CouldNotOpen(path) << "\n";
        return kCannotOpen;
    }
    if (!index.BadLines().empty()) {
        m_out << index.BadLinesMessage();
    }
    m_out << PlainLineEnds(index.StatisticsText()) << "\n";
    int code = index.BadLines().empty() ? kClean : kBadLines;
    Dispose(std::move(owned));
    return code;
}

int CliCommands::Convert(const std::string& in, const std::string& out) {
    auto owned = std::make_unique<IndexFile>();
    IndexFile& index = *owned;
    if (!index.Load(in)) {
        m_err << CouldNotOpen(in) << "\n";
        return kCannotOpen;
    }
    if (!index.BadLines().empty()) {
        m_err << index.BadLinesMessage();
    }
    if (!index.Save(out)) {
        m_err << index.SaveError() << "\n";
        return kCannotOpen;
    }
    int code = index.BadLines().empty() ? kClean : kBadLines;
    Dispose(std::move(owned));
    return code;
}

} // namespace tamblin
