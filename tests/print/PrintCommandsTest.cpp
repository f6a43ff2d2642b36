#include "print/ui/PrintCommands.h"
#include "AppTestSupport.h"
#include "ModalDriver.h"
#include "PdfText.h"
#include "ScriptedDialogs.h"
#include "TestFiles.h"
#include "app/ui/CMainFrame.h"
#include "app/ui/CTamblinApp.h"
#include "document/ui/CXoDoc.h"
#include "index/IndexFile.h"
#include "print/qt/IndexPrintout.h"
#include "print/qt/PrintPlayer.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

using namespace tamblin;

namespace {

// Three entries below the root, one with a child, and Other Index keywords.
const std::string kSite = "XO0;2;1;1;Tamblin 1.1.18\r\n"
                          "1;Rose garden;December 6 2026\r\n"
                          "3;1;http://garden.example/;main\r\n"
                          "5;1;1;index.htm;Welcome;;0;\r\n"
                          "5;2;1;roses.htm;Roses;;0;\r\n"
                          "5;3;1;roses/red.htm;Red roses;;2;\r\n"
                          "5;4;1;tulips.htm;Tulips;;0;\r\n"
                          "7;Search help;search.htm;Search;\r\n";

// 100 dots per inch: one device pixel is one unit of the layout.
QImage Paper() {
    QImage image(850, 1100, QImage::Format_RGB32);
    image.setDotsPerMeterX(3937);
    image.setDotsPerMeterY(3937);
    image.fill(Qt::white);
    return image;
}

bool Dark(const QImage& image, int x, int y) {
    return qGray(image.pixel(x, y)) < 128;
}

int DarkPixels(const QImage& image, const QRect& area) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            count += Dark(image, x, y);
        }
    }
    return count;
}

class PrintCommandsTest : public ::testing::Test {
protected:
    PrintCommandsTest() {
        EXPECT_TRUE(m_doc.OpenIndex(QString::fromStdString(m_files.Write("site.xo", kSite))));
        m_options.summary = false;
    }
    IndexPrintout Printout() const {
        return IndexPrintout(*m_doc.Index(), m_options,
                             [this](const std::string& bytes) { return m_doc.Decode(bytes); });
    }
    // Enough keywords on Tulips for a full print of three pages on A4.
    void MakeLong() {
        IndexEntry& tulips = *m_doc.Index()->m_root.m_children[2];
        for (int i = 0; i < 100; ++i) {
            tulips.m_keywords.emplace_back(&tulips, "tulip " + std::to_string(i), "#t", "T", "", 0);
        }
    }
    void PdfPrinter(QPrinter& printer, const std::string& name) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(m_files.Path(name)));
    }

    bool m_app = (test::App(), true);
    TestFiles m_files;
    ScriptedDialogs m_dialogs;
    CXoDoc m_doc;
    IndexPrintout::Options m_options;
};

} // namespace

TEST_F(PrintCommandsTest, PageOneIsDrawnWhereTheLayoutSays) {
    QImage image = Paper();
    {
        QPainter painter(&image);
        Printout().PaintPage(painter, 1);
    }
    image.save(QString::fromStdString(m_files.Path("page1.png")));
    if (const char* keep = std::getenv("TAMBLIN_PRINT_PNG")) {
        image.save(QString::fromLocal8Bit(keep));
    }
    // 10 points: lines of 13. The header frame runs from 13 to 26 down, from 50 to 848.
    EXPECT_TRUE(Dark(image, 400, 13));
    EXPECT_TRUE(Dark(image, 400, 26));
    EXPECT_TRUE(Dark(image, 50, 20));
    EXPECT_TRUE(Dark(image, 848, 20));
    EXPECT_FALSE(Dark(image, 400, 30));
    // The footer frame ends 2 above the bottom; nothing lies below it.
    EXPECT_TRUE(Dark(image, 400, 1098));
    EXPECT_EQ(DarkPixels(image, QRect(0, 1099, 850, 1)), 0);
    // Header texts inside their frame, the summary labels at 50 and values at 210 (content
    // starts three lines down), the rule under the summary seven lines further.
    EXPECT_GT(DarkPixels(image, QRect(64, 14, 120, 12)), 20);
    EXPECT_GT(DarkPixels(image, QRect(50, 39, 150, 13)), 20);
    EXPECT_GT(DarkPixels(image, QRect(210, 39, 150, 13)), 20);
    EXPECT_TRUE(Dark(image, 400, 39 + 7 * 13));
    // The left margin stays empty below the header.
    EXPECT_EQ(DarkPixels(image, QRect(0, 30, 45, 1060)), 0);

    // No font face: the device's font and lines of 15.
    m_options.face.clear();
    QImage plain = Paper();
    {
        QPainter painter(&plain);
        Printout().PaintPage(painter, 1);
    }
    EXPECT_TRUE(Dark(plain, 400, 15));
    EXPECT_TRUE(Dark(plain, 400, 30));
}

TEST_F(PrintCommandsTest, PreviewShowsEveryPageAndChangesNothing) {
    MakeLong();
    QPrinter printer(QPrinter::HighResolution);
    PdfPrinter(printer, "unused.pdf");
    int expected = Printout().PageCount(printer);
    ASSERT_EQ(expected, 3);
    int shown = -1;
    test::ModalDriver driver({[&](QWidget* modal) {
        auto* preview = modal->findChild<QPrintPreviewWidget*>();
        if (!preview || preview->pageCount() == 0) {
            return false;
        }
        shown = preview->pageCount();
        modal->grab().save(QString::fromStdString(m_files.Path("preview.png")));
        if (const char* keep = std::getenv("TAMBLIN_PREVIEW_PNG")) {
            modal->grab().save(QString::fromLocal8Bit(keep));
        }
        static_cast<QDialog*>(modal)->reject();
        return true;
    }});
    PrintCommands::Preview(nullptr, m_doc, printer, m_options);
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(shown, expected);
    EXPECT_FALSE(m_doc.IsModified());
    EXPECT_EQ(m_doc.Index()->m_root.m_children[2]->m_printLineCount, 0);
}

TEST_F(PrintCommandsTest, PrintFromThePreviewPrintsOnlyTheChosenPages) {
    MakeLong();
    QPrinter printer(QPrinter::HighResolution);
    PdfPrinter(printer, "from-preview.pdf");
    test::ModalDriver driver({[&](QWidget* modal) {
        auto* preview = modal->findChild<QPrintPreviewWidget*>();
        if (!preview || preview->pageCount() == 0) {
            return false;
        }
        // What the preview's own print dialog leaves in the printer.
        printer.setPrintRange(QPrinter::PageRange);
        printer.setFromTo(2, 3);
        preview->print();
        static_cast<QDialog*>(modal)->reject();
        return true;
    }});
    PrintCommands::Preview(nullptr, m_doc, printer, m_options);
    EXPECT_TRUE(driver.Done());
    std::string text = PdfText(m_files.Path("from-preview.pdf"));
    if (text.empty()) {
        GTEST_SKIP() << "pdftotext is not installed";
    }
    EXPECT_EQ(std::count(text.begin(), text.end(), '\f'), 2);
    EXPECT_EQ(text.find("Description:"), std::string::npos);
}

TEST_F(PrintCommandsTest, PrintDialogOffersThePagesAndPrintsTheChosenOnes) {
    MakeLong();
    QPrinter printer(QPrinter::HighResolution);
    PdfPrinter(printer, "chosen.pdf");
    int offered = 0;
    test::ModalDriver driver({[&](QWidget* modal) {
        auto* dialog = qobject_cast<QPrintDialog*>(modal);
        if (!dialog) {
            return false;
        }
        offered = dialog->maxPage();
        dialog->reject();
        return true;
    }});
    PrintCommands::Print(nullptr, m_doc, printer, m_options);
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(offered, 3);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(m_files.Path("chosen.pdf"))));

    // Pages 2 to 3 only.
    ASSERT_TRUE(Printout().Paint(printer, 2, 3));
    std::string text = PdfText(m_files.Path("chosen.pdf"));
    if (text.empty()) {
        GTEST_SKIP() << "pdftotext is not installed";
    }
    EXPECT_EQ(std::count(text.begin(), text.end(), '\f'), 2);
    EXPECT_EQ(text.find("Description:"), std::string::npos);
    // Tulips is longer than a page: it starts page 2 and runs past its bottom.
    EXPECT_NE(text.find("tulip 0"), std::string::npos);
    EXPECT_NE(text.find("Other Index keywords"), std::string::npos);
}

TEST_F(PrintCommandsTest, PrintAllPrintsEveryPage) {
    QPrinter printer(QPrinter::HighResolution);
    PdfPrinter(printer, "all.pdf");
    ASSERT_TRUE(PrintCommands::PrintAll(m_doc, printer, m_options));
    EXPECT_FALSE(m_doc.IsModified());
    std::string text = PdfText(m_files.Path("all.pdf"));
    if (text.empty()) {
        GTEST_SKIP() << "pdftotext is not installed";
    }
    EXPECT_NE(text.find("Rose garden: Full Print"), std::string::npos);
    EXPECT_NE(text.find("/Roses/Red roses"), std::string::npos);
    EXPECT_NE(text.find("http://garden.example/roses/red.htm"), std::string::npos);
    EXPECT_NE(text.find("Search help,search.htm,Search"), std::string::npos);
}

TEST_F(PrintCommandsTest, APrintThatFailsSaysSoAndIsNoSuccess) {
    // No PDF can be written below /proc, not even by root.
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QStringLiteral("/proc/no-such-dir/index.pdf"));
    ASSERT_FALSE(Printout().Paint(printer));

    test::ModalDriver driver({[&](QWidget* modal) {
        auto* dialog = qobject_cast<QPrintDialog*>(modal);
        if (!dialog) {
            return false;
        }
        dialog->accept();
        return true;
    }});
    EXPECT_FALSE(PrintCommands::Print(nullptr, m_doc, printer, m_options));
    EXPECT_TRUE(driver.Done());
    ASSERT_EQ(m_dialogs.m_messages.size(), 1);
    EXPECT_TRUE(m_dialogs.m_messages[0].text.startsWith(QStringLiteral("Could not print ")));
    EXPECT_TRUE(
        m_dialogs.m_messages[0].text.contains(QStringLiteral("/proc/no-such-dir/index.pdf")));

    // The same from the preview's Print button.
    test::ModalDriver previewDriver({[&](QWidget* modal) {
        auto* preview = modal->findChild<QPrintPreviewWidget*>();
        if (!preview || preview->pageCount() == 0) {
            return false;
        }
        preview->print();
        static_cast<QDialog*>(modal)->reject();
        return true;
    }});
    PrintCommands::Preview(nullptr, m_doc, printer, m_options);
    EXPECT_TRUE(previewDriver.Done());
    EXPECT_EQ(m_dialogs.m_messages.size(), 2);
}

TEST_F(PrintCommandsTest, TheFileNameIsTheFileSystemsTextAndLongTextsStopAtTheMargin) {
    // A UTF-8 file name, an index in Windows-1252 (0xE9 is e acute there).
    std::string name = "Ros\xc3\xa9 garden.xo";
    std::string cp1252 = kSite;
    cp1252.replace(cp1252.find("Rose garden"), 11, "Ros\xe9 garden");
    std::string longUrl = "deep/" + std::string(300, 'x') + "/end.htm";
    cp1252.replace(cp1252.find("tulips.htm"), 10, longUrl);
    ASSERT_TRUE(m_doc.OpenIndex(QString::fromStdString(m_files.Write(name, cp1252))));
    m_options.points = 12;
    QPrinter printer(QPrinter::HighResolution);
    PdfPrinter(printer, "named.pdf");
    ASSERT_TRUE(PrintCommands::PrintAll(m_doc, printer, m_options));
    if (const char* dir = std::getenv("TAMBLIN_PNG_DIR")) {
        QImage image = Paper();
        {
            QPainter painter(&image);
            Printout().PaintPage(painter, 1);
        }
        image.save(QString::fromLocal8Bit(dir) + QStringLiteral("/print-12pt.png"));
    }
    std::string text = PdfText(m_files.Path("named.pdf"));
    if (text.empty()) {
        GTEST_SKIP() << "pdftotext is not installed";
    }
    EXPECT_NE(text.find("Ros\xc3\xa9 garden.xo ("), std::string::npos) << text;
    EXPECT_NE(text.find("Ros\xc3\xa9 garden: Full Print"), std::string::npos);
    // The long URL keeps its start and its end, and loses its middle.
    EXPECT_EQ(text.find(std::string(300, 'x')), std::string::npos);
    EXPECT_NE(text.find("\xe2\x80\xa6"), std::string::npos);
    EXPECT_NE(text.find("/end.htm"), std::string::npos);
}

// Measuring a text costs more than its length: a title of megabytes is cut to what a line
// can show before anything measures it, and still shows its start (or both ends).
TEST(PrintPlayerTest, AHugeTextIsCutBeforeItIsMeasured) {
    tamblin::test::App();
    QImage paper(850, 1100, QImage::Format_RGB32);
    paper.setDotsPerMeterX(3937);
    paper.setDotsPerMeterY(3937);
    paper.fill(Qt::white);
    size_t longest = 0;
    {
        QPainter painter(&paper);
        PrintPlayer player(painter,
                           PrintPlayer::MakeFonts(QStringLiteral("DejaVu Sans"), 13, paper),
                           [&longest](const std::string& bytes) {
                               longest = std::max(longest, bytes.size());
                               return QString::fromStdString(bytes);
                           });
        PrintPage page;
        PrintOperation end;
        end.text = "Start " + std::string(5 << 20, 'w') + " finish";
        end.x = 50;
        end.y = -20;
        end.right = 800;
        PrintOperation middle = end;
        middle.elide = PrintOperation::Elide::Middle;
        middle.y = -60;
        page.operations = {end, middle};
        player.Play(page);
    }
    EXPECT_LT(longest, 100000u);
    EXPECT_GT(longest, 1000u);
}

TEST(CommandLinePrintTest, PrintsToTheApplicationsPrinterOrFailsOnAnUnknownOne) {
    test::App();
    test::SettingsSandbox sandbox;
    TestFiles files;
    ScriptedDialogs dialogs;
    std::string site = files.Write("site.xo", kSite);
    std::string pdf = files.Path("printed.pdf");
    auto start = [&](const QStringList& arguments, CTamblinApp& app) {
        app.m_splashAllowed = false;
        app.m_browserDirectory = QString::fromStdString(files.Path("no-browser/"));
        app.Printer()->setOutputFormat(QPrinter::PdfFormat);
        app.Printer()->setOutputFileName(QString::fromStdString(pdf));
        return app.InitInstance(arguments);
    };
    {
        CTamblinApp app;
        EXPECT_TRUE(start({QStringLiteral("-p"), QString::fromStdString(site)}, app));
        EXPECT_FALSE(app.Document()->IsModified());
        // The print is the whole job: the window never shows.
        EXPECT_TRUE(app.PrintedOnly());
        EXPECT_FALSE(app.MainFrame()->isVisible());
        app.MainFrame()->close();
    }
    EXPECT_NE(PdfText(pdf).find("Rose garden"), std::string::npos);
    std::remove(pdf.c_str());
    {
        CTamblinApp app;
        EXPECT_FALSE(start({QStringLiteral("-pt"), QString::fromStdString(site),
                            QStringLiteral("No such printer anywhere")},
                           app));
        ASSERT_EQ(dialogs.m_messages.size(), 1);
        EXPECT_NE(dialogs.m_messages[0].text.indexOf(QStringLiteral("No such printer anywhere")),
                  -1);
    }
    EXPECT_FALSE(QFile::exists(QString::fromStdString(pdf)));
}
