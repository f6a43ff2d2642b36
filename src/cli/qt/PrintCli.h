#pragma once

#include "index/SaveResult.h"
#include "print/qt/IndexPrintout.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace tamblin {

class IndexFile;

// "tamblin-cli print": an index printed to a PDF file as Print would print it.
class PrintCli final {
public:
    PrintCli(std::ostream& out, std::ostream& err);

    // `args` follow the word "print". Returns the process exit code.
    int Run(const std::vector<std::string>& args);
    static void PrintHelp(std::ostream& stream);

    static constexpr int kClean = 0;
    static constexpr int kBadLines = 1;
    static constexpr int kCannotOpen = 2;
    static constexpr int kUsage = 64;

private:
    struct Request {
        IndexPrintout::Options options;
        std::string input;
        std::string output;
        ReplaceOptions replace;
    };
    int ParseArgs(const std::vector<std::string>& args, Request& request);
    bool WritePdf(const IndexFile& index, const Request& request);
    int Usage(const std::string& problem);

    std::ostream& m_out;
    std::ostream& m_err;
};

} // namespace tamblin
