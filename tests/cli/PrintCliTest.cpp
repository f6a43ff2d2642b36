// Runs the real tamblin-cli, as a user does, on a generated index and reads the PDF back.
#include "PdfText.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>

namespace {

constexpr int kEntries = 500;

std::string Topic(int number) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "Topic-%04d", number);
    return buffer;
}

// Ten chapters of 49 topics each, under the root.
std::string GeneratedIndex() {
    std::string text = "XO0;2;1;1;Tamblin 1.1.18\r\n1;Bench garden;December 6 2026\r\n"
                       "3;1;http://bench.example/;main\r\n";
    int parent = 0;
    for (int id = 1; id <= kEntries; ++id) {
        bool chapter = (id - 1) % 50 == 0;
        if (chapter) {
            parent = id;
        }
        text += "5;" + std::to_string(id) + ";1;t" + std::to_string(id) + ".htm;" + Topic(id) +
                ";;" + std::to_string(chapter ? 0 : parent) + ";\r\n";
    }
    return text;
}

struct CliRun {
    int code = -1;
    std::string output;
};

CliRun Cli(const std::string& arguments) {
    CliRun run;
    std::string command = "SOURCE_DATE_EPOCH=0 " TAMBLIN_CLI " " + arguments + " 2>&1";
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) {
            run.output.append(buffer, n);
        }
        int status = pclose(pipe);
        run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    return run;
}

size_t Count(const std::string& text, const std::string& what) {
    size_t count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++count;
    }
    return count;
}

std::vector<std::string> Pages(const std::string& pdf) {
    std::string text = PdfText(pdf);
    std::vector<std::string> pages;
    size_t start = 0;
    for (size_t end = text.find('\f'); end != std::string::npos; end = text.find('\f', start)) {
        pages.push_back("\n" + text.substr(start, end - start) + "\n");
        start = end + 1;
    }
    return pages;
}

class PrintCliTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::system("pdftotext -v > /dev/null 2>&1") != 0) {
            GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
        }
        m_index = m_files.Write("bench.xo", GeneratedIndex());
    }
    TestFiles m_files;
    std::string m_index;
};

} // namespace

TEST_F(PrintCliTest, FullAndSummaryPrintsShowEveryEntryOnceOnNumberedPages) {
    for (bool summary : {false, true}) {
        std::string pdf = m_files.Path(summary ? "summary.pdf" : "full.pdf");
        CliRun run =
            Cli("print '" + m_index + "' -o '" + pdf + "'" + (summary ? " --summary" : ""));
        ASSERT_EQ(run.code, 0) << run.output;
        std::vector<std::string> pages = Pages(pdf);
        ASSERT_GT(pages.size(), summary ? 5u : 15u);
        std::string all;
        for (size_t i = 0; i < pages.size(); ++i) {
            const std::string& page = pages[i];
            EXPECT_NE(page.find("Navora: Tamblin"), std::string::npos) << i;
            EXPECT_NE(
                page.find(summary ? "Bench garden: Summary Print" : "Bench garden: Full Print"),
                std::string::npos)
                << i;
            EXPECT_NE(page.find("1970"), std::string::npos) << i;
            EXPECT_NE(page.find("\n" + std::to_string(i + 1) + "\n"), std::string::npos) << i;
            all += page;
        }
        EXPECT_EQ(Count(pages[0], "Number of URLs:"), 1u);
        for (int id = 1; id <= kEntries; ++id) {
            // Full: the end of the path and the title; summary: the one line. A chapter's
            // title also starts its topics' paths, followed by a slash there.
            std::string topic = Topic(id) + "\n";
            ASSERT_EQ(Count(all, topic), summary ? 1u : 2u) << topic;
            if (!summary) {
                ASSERT_EQ(Count(all, "/" + topic), 1u) << topic;
            }
        }
    }
}

TEST_F(PrintCliTest, OptionsAndFailuresGiveTheUsualExitCodes) {
    std::string pdf = m_files.Path("out.pdf");
    CliRun help = Cli("print --help");
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.output.find("--summary"), std::string::npos);
    EXPECT_NE(Cli("--help").output.find("print FILE.xo -o OUT.pdf"), std::string::npos);
    EXPECT_EQ(Cli("print '" + m_index + "'").code, 64);
    EXPECT_EQ(Cli("print '" + m_index + "' -o '" + pdf + "' --size 4").code, 64);
    EXPECT_EQ(Cli("print '" + m_index + "' -o '" + pdf + "' --bogus").code, 64);
    EXPECT_EQ(Cli("print '" + m_files.Path("missing.xo") + "' -o '" + pdf + "'").code, 2);
    EXPECT_EQ(Cli("print '" + m_index + "' -o '" + m_files.Path("no/such/dir/out.pdf") + "'").code,
              2);
    // A bigger face takes more pages.
    ASSERT_EQ(Cli("print '" + m_index + "' -o '" + pdf + "' --summary --size 20 --font Serif").code,
              0);
    std::vector<std::string> large = Pages(pdf);
    ASSERT_EQ(Cli("print '" + m_index + "' -o '" + pdf + "' --summary --size 8").code, 0);
    EXPECT_GT(large.size(), Pages(pdf).size());
}
