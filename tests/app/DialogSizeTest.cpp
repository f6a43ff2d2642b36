#include "AppTestSupport.h"
#include "ModalDriver.h"
#include "ScriptedDialogs.h"
#include "TestFiles.h"
#include "document/ui/CXoDoc.h"
#include "platform/DialogPlacement.h"
#include "platform/QtDialogService.h"
#include "print/ui/PrintCommands.h"

#include <QFileDialog>
#include <QFontMetrics>
#include <QHeaderView>
#include <QMainWindow>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>
#include <QTreeView>

#include <gtest/gtest.h>

#include <cstdlib>

using namespace tamblin;
using tamblin::test::ModalDriver;

namespace {

void SavePng(QWidget* widget, const char* name) {
    if (const char* dir = std::getenv("TAMBLIN_PNG_DIR")) {
        widget->grab().save(QString::fromLocal8Bit(dir) + QLatin1Char('/') +
                            QString::fromLatin1(name));
    }
}

class DialogSizeTest : public ::testing::Test {
protected:
    DialogSizeTest() {
        QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        // Off the screen's centre, so that centring on the screen would not pass.
        m_main.setGeometry(area.x() + area.width() / 8, area.y() + area.height() / 6,
                           area.width() * 3 / 4, area.height() * 2 / 3);
        m_main.show();
    }
    void ExpectCentredOnMain(QWidget* dialog) {
        QPoint offset = dialog->frameGeometry().center() - m_main.frameGeometry().center();
        EXPECT_LE(offset.manhattanLength(), 4)
            << dialog->objectName().toStdString() << " off by " << offset.x() << "," << offset.y();
    }
    static void ExpectShowsItsContent(QWidget* dialog) {
        EXPECT_GE(dialog->width(), dialog->sizeHint().width())
            << dialog->objectName().toStdString();
        EXPECT_GE(dialog->height(), dialog->sizeHint().height())
            << dialog->objectName().toStdString();
    }

    bool m_app = (test::App(), true);
    QMainWindow m_main;
    TestFiles m_files;
};

} // namespace

TEST_F(DialogSizeTest, TheOpenDialogShowsItsColumnsWholeCentredOnTheMainWindow) {
    m_files.Write("folder/a file of some length.xo", std::string(257, 'x'));
    QtDialogService service;
    bool checked = false;
    ModalDriver driver({[&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        auto* view = modal->findChild<QTreeView*>(QStringLiteral("treeView"));
        if (!dialog || !view || view->model()->rowCount(view->rootIndex()) == 0) {
            return false;
        }
        // The columns are fitted once the folder has been read.
        QHeaderView* header = view->header();
        for (int column = 0; column < header->count(); ++column) {
            if (!header->isSectionHidden(column) &&
                header->sectionSize(column) <
                    static_cast<QAbstractItemView*>(view)->sizeHintForColumn(column)) {
                return false;
            }
        }
        ExpectShowsItsContent(dialog);
        ExpectCentredOnMain(dialog);
        SavePng(dialog, "open-dialog.png");
        checked = true;
        dialog->reject();
        return true;
    }});
    DialogService::FileRequest request;
    request.title = QStringLiteral("Open");
    request.path = QString::fromStdString(m_files.Path("folder/"));
    request.filter = QStringLiteral("Navora index files (*.xo)|*.xo|All Files (*.*)|*.*||");
    EXPECT_TRUE(service.PromptFile(&m_main, request).isEmpty());
    EXPECT_TRUE(driver.Done());
    EXPECT_TRUE(checked);
}

TEST_F(DialogSizeTest, AMessageBoxShowsItsWholeCaptionCentredOnTheMainWindow) {
    QtDialogService service;
    const QString caption = QStringLiteral("Tarvo Lumio: a caption long enough to be cut short");
    bool checked = false;
    ModalDriver driver({[&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (!box || !box->isVisible()) {
            return false;
        }
        int captionWidth = QFontMetrics(QApplication::font()).horizontalAdvance(caption);
        EXPECT_GE(box->width(), DialogPlacement::CaptionWidth(caption));
        EXPECT_GT(DialogPlacement::CaptionWidth(caption), captionWidth + 100);
        ExpectShowsItsContent(box);
        ExpectCentredOnMain(box);
        SavePng(box, "message-box.png");
        checked = true;
        box->accept();
        return true;
    }});
    DialogService::Message message;
    message.caption = caption;
    message.text = QStringLiteral("OK?");
    service.ShowMessage(&m_main, message);
    EXPECT_TRUE(driver.Done());
    EXPECT_TRUE(checked);
}

TEST_F(DialogSizeTest, ThePrintPreviewShowsAReadablePageCentredOnTheMainWindow) {
    ScriptedDialogs dialogs;
    CXoDoc document;
    ASSERT_TRUE(document.NewIndex("Preview"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(m_files.Path("unused.pdf")));
    QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    bool checked = false;
    ModalDriver driver({[&](QWidget* modal) {
        auto* preview = qobject_cast<QPrintPreviewDialog*>(modal);
        if (!preview) {
            return false;
        }
        ExpectShowsItsContent(preview);
        EXPECT_GE(preview->width(), area.width() * 6 / 10);
        EXPECT_GE(preview->height(), area.height() * 6 / 10);
        ExpectCentredOnMain(preview);
        SavePng(preview, "print-preview.png");
        checked = true;
        preview->reject();
        return true;
    }});
    PrintCommands::Preview(&m_main, document, printer, {});
    EXPECT_TRUE(driver.Done());
    EXPECT_TRUE(checked);
}
