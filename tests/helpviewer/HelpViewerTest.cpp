// Lumio's request handling in process, without a browser: which window each request opens.
#include "helpviewer/ui/HelpViewer.h"
#include "helpviewer/ui/HelpDialog.h"
#include "helpviewer/ui/PopupWindow.h"
#include "helpviewer/ui/RunListPlayer.h"

#include "ScriptedDialogs.h"
#include "ShownText.h"
#include "TestFiles.h"

#include <QAction>
#include <QApplication>
#include <QFontInfo>
#include <QImage>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace tamblin;

namespace {

QApplication& App() {
    static int argc = 1;
    static char name[] = "helpviewer_ui_test";
    static char* argv[] = {name, nullptr};
    // Kept to the end of the process, as widget tests must.
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

class Viewer : public ::testing::Test {
protected:
    void SetUp() override {
        App();
        m_files.Write("help/Page.htm", "<html><title>A page</title></html>");
        m_files.Write("help/Contents.htm", "<html></html>");
        m_files.Write("t.HM", "HIDR_PAGE 0x20080\r\nHIDC_POP 0x50001\r\nHIDC_BOTH 0x50002\r\n"
                              "HIDC_NONE 0x50003\r\n");
        m_files.Write("help/IDC_BOTH.htm", "<html></html>");
        m_files.Write("help/IDR_PAGE.htm", "<html></html>");
        m_files.Write("help/Popups.htm", "<body><a name=IDC_POP>Pop text</a><hr>"
                                         "<a name=IDC_BOTH>Both text</a><hr>");
        Send(kRequestTitle, "Tamblin");
        Send(kRequestHelpDirectory, m_files.Path("help/"));
        Send(kRequestContentsPage, "Contents.htm");
        Send(kRequestTopicMap, m_files.Path("t.HM"));
        Send(kRequestPopupsPage, m_files.Path("help/Popups.htm"));
        Settle();
    }
    void TearDown() override {
        if (m_viewer.Popup()) {
            m_viewer.Popup()->close();
        }
        Settle();
    }

    int32_t Send(uint32_t code, const std::string& text) {
        return m_viewer.HandleRequest({code, text});
    }
    static void Settle() {
        for (int i = 0; i < 3; ++i) {
            QApplication::processEvents();
        }
    }
    QString PopupText() const {
        return m_viewer.Popup() ? m_viewer.Popup()->TextEdit()->toPlainText() : QString();
    }

    QApplication& m_app = App();
    TestFiles m_files;
    ScriptedDialogs m_dialogs;
    QWidget m_owner;
    HelpViewer m_viewer{&m_owner, nullptr, QRect(0, 0, 1000, 700), {"arial"}};
};

} // namespace

TEST_F(Viewer, RequestsAreAnsweredBeforeTheWorkIsDone) {
    EXPECT_EQ(Send(kRequestShowPage, "Page.htm"), 1);
    EXPECT_FALSE(m_viewer.Dialog());
    Settle();
    ASSERT_TRUE(m_viewer.Dialog());
    EXPECT_TRUE(m_viewer.Dialog()->isVisible());
    EXPECT_TRUE(m_viewer.Dialog()->ShownPath().endsWith(QStringLiteral("help/Page.htm")));
    EXPECT_EQ(m_viewer.Dialog()->windowTitle(), QStringLiteral("Lumio: Tamblin - "));
    EXPECT_EQ(Send(42, "x"), 0);
}

TEST_F(Viewer, ContextHelpPrefersThePageAndContextPopupThePopup) {
    Send(kRequestContextHelp, "10,20,327682"); // 0x50002 has both
    Settle();
    ASSERT_TRUE(m_viewer.Dialog());
    EXPECT_TRUE(m_viewer.Dialog()->ShownPath().endsWith(QStringLiteral("IDC_BOTH.htm")));
    EXPECT_FALSE(m_viewer.Popup());

    Send(kRequestContextPopup, "10,20,327682");
    Settle();
    ASSERT_TRUE(m_viewer.Popup());
    EXPECT_EQ(PopupText(), QStringLiteral("Both text"));
    EXPECT_FALSE(m_viewer.Dialog()->isVisible());
}

TEST_F(Viewer, ContextHelpFallsBackToThePopupWhenThereIsNoPage) {
    Send(kRequestContextHelp, "30,40,327681"); // 0x50001: pop-up only
    Settle();
    ASSERT_TRUE(m_viewer.Popup());
    EXPECT_EQ(PopupText(), QStringLiteral("Pop text"));
    EXPECT_EQ(m_viewer.PopupPosition(), QPoint(30, 40));
}

TEST_F(Viewer, NoHelpSaysSoOrShowsTheDefaultWithTheId) {
    Send(kRequestContextHelp, "1,1,327683"); // 0x50003: mapped, but nothing exists
    Settle();
    ASSERT_EQ(m_dialogs.m_messages.size(), 1);
    EXPECT_EQ(m_dialogs.m_messages[0].text,
              QStringLiteral("Sorry, no help exists for topic id 50003\n"
                             "Please contact your supplier for further help"));

    m_files.Write("help/More.htm", "<body><a name=default>Nothing here.</a><hr>");
    Send(kRequestPopupsPage, m_files.Path("help/More.htm"));
    Send(kRequestContextHelp, "1,1,4660"); // 0x1234: not in the map
    Settle();
    EXPECT_EQ(PopupText(), QStringLiteral("Nothing here. 1234, "));
}

TEST_F(Viewer, AMalformedContextTextDoesNothing) {
    EXPECT_EQ(Send(kRequestContextHelp, "12,34"), 1);
    Settle();
    EXPECT_FALSE(m_viewer.Dialog());
    EXPECT_FALSE(m_viewer.Popup());
    EXPECT_TRUE(m_dialogs.m_messages.isEmpty());
}

TEST_F(Viewer, ButtonsFollowTheSettingsAndAMissingPageShowsNothing) {
    Send(kRequestShowPage, "Missing.htm");
    Settle();
    ASSERT_TRUE(m_viewer.Dialog());
    EXPECT_FALSE(m_viewer.Dialog()->isVisible());
    auto* contents = m_viewer.Dialog()->findChild<QPushButton*>(QStringLiteral("contentsButton"));
    auto* index = m_viewer.Dialog()->findChild<QPushButton*>(QStringLiteral("indexButton"));
    auto* back = m_viewer.Dialog()->findChild<QPushButton*>(QStringLiteral("backButton"));
    EXPECT_TRUE(contents->isEnabled());
    EXPECT_FALSE(index->isEnabled());
    EXPECT_FALSE(back->isEnabled());
    Send(kRequestIndexPage, "Page.htm");
    EXPECT_TRUE(index->isEnabled());
    index->click();
    EXPECT_TRUE(m_viewer.Dialog()->isVisible());
}

TEST_F(Viewer, CloseEmptiesTheTablesAndAsksToEnd) {
    bool closed = false;
    QObject::connect(&m_viewer, &HelpViewer::closeRequested, &m_owner, [&] { closed = true; });
    Send(kRequestClose, "");
    EXPECT_FALSE(closed);
    Settle();
    EXPECT_TRUE(closed);
    EXPECT_EQ(m_viewer.Map().Size(), 0u);
    EXPECT_TRUE(m_viewer.Topics().topics.empty());
}

TEST(PopupWindowTest, StaysInsideTheWorkArea) {
    QRect work(0, 0, 800, 600);
    EXPECT_EQ(PopupWindow::PlaceInside(QPoint(10, 20), QSize(100, 50), work), QPoint(10, 20));
    EXPECT_EQ(PopupWindow::PlaceInside(QPoint(780, 590), QSize(100, 50), work), QPoint(700, 550));
    EXPECT_EQ(PopupWindow::PlaceInside(QPoint(5, 5), QSize(900, 700), work), QPoint(0, 0));
}

TEST(RunListPlayerTest, EachFormatCoversOnlyItsOwnRange) {
    App();
    TextDefaults defaults;
    RunList runs;
    auto text = [&](const char* t) { runs.push_back({TextRun::kText, t, {}}); };
    auto format = [&](unsigned bit, bool on) {
        TextRun run{TextRun::kFormat, "", {}};
        run.format.mask = bit;
        run.format.effects = on ? bit : 0;
        runs.push_back(run);
    };
    text("plain ");
    format(kMaskBold, true);
    text("bold ");
    format(kMaskItalic, true);
    text("italic");
    QTextEdit edit;
    PlayRunList(edit, runs, defaults);
    EXPECT_EQ(edit.toPlainText(), QStringLiteral("plain bold italic"));
    auto formatAt = [&](int position) {
        QTextCursor cursor(edit.document());
        cursor.setPosition(position + 1);
        return cursor.charFormat();
    };
    EXPECT_FALSE(formatAt(0).font().bold());
    EXPECT_TRUE(formatAt(6).font().bold());
    EXPECT_FALSE(formatAt(6).font().italic());
    EXPECT_TRUE(formatAt(11).font().italic());
    EXPECT_FALSE(formatAt(11).font().bold());
    EXPECT_GE(formatAt(0).fontPointSize(), 8.5);
    // With the desktop's size off, size 2 is the renderer's 170 twips exactly.
    QTextEdit classic;
    defaults.desktopFontSize = false;
    PlayRunList(classic, runs, defaults);
    QTextCursor cursor(classic.document());
    cursor.setPosition(1);
    EXPECT_DOUBLE_EQ(cursor.charFormat().fontPointSize(), 8.5);
    EXPECT_EQ(edit.textCursor().position(), 0);
}

namespace {

// The About box as the desktop runs it: a real box with its own event loop, owned by the
// help window and running inside the window's code. Tamblin's close request arrives while
// it is open.
class AboutBoxThatSeesAClose final : public DialogService {
public:
    explicit AboutBoxThatSeesAClose(HelpViewer& viewer) : m_viewer(viewer) {
        SetDialogService(this);
    }
    ~AboutBoxThatSeesAClose() override { SetDialogService(nullptr); }

    Answer ShowMessage(QWidget* parent, const Message& message) override {
        captions.append(message.caption);
        QMessageBox box(QMessageBox::Information, message.caption, message.text, QMessageBox::Ok,
                        parent);
        QTimer::singleShot(0, &box, [this] { m_viewer.HandleRequest({kRequestClose, ""}); });
        box.exec();
        return Answer::Ok;
    }
    QString PromptFile(QWidget*, const FileRequest&) override { return QString(); }

    QStringList captions;

private:
    HelpViewer& m_viewer;
};

} // namespace

TEST_F(Viewer, AboutLumioIsOnTheWindowMenuAndACloseWhileItIsOpenWaitsForIt) {
    Send(kRequestShowPage, "Page.htm");
    Settle();
    ASSERT_TRUE(m_viewer.Dialog());
    QPointer<HelpDialog> dialog = m_viewer.Dialog();
    EXPECT_FALSE(dialog->windowIcon().isNull());
    auto* menuButton = dialog->findChild<QToolButton*>(QStringLiteral("windowMenuButton"));
    ASSERT_TRUE(menuButton);
    ASSERT_TRUE(menuButton->menu());
    QAction* about = dialog->findChild<QAction*>(QStringLiteral("aboutLumioAction"));
    ASSERT_TRUE(about);
    EXPECT_TRUE(menuButton->menu()->actions().contains(about));

    bool closed = false;
    QObject::connect(&m_viewer, &HelpViewer::closeRequested, &m_owner, [&] { closed = true; });
    AboutBoxThatSeesAClose box(m_viewer);
    about->trigger();
    EXPECT_EQ(box.captions, QStringList{QStringLiteral("About Lumio")});
    Settle();
    EXPECT_TRUE(closed);
    EXPECT_FALSE(m_viewer.Dialog());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(dialog.isNull());
}

TEST_F(Viewer, SpaceAndEnterPressTheFocusedButtonWhileTypedLettersGoNowhere) {
    Send(kRequestShowPage, "Page.htm");
    Settle();
    HelpDialog* dialog = m_viewer.Dialog();
    ASSERT_TRUE(dialog);
    auto* contents = dialog->findChild<QPushButton*>(QStringLiteral("contentsButton"));
    int clicks = 0;
    QObject::connect(contents, &QPushButton::clicked, &m_owner, [&] { ++clicks; });
    contents->setFocus();
    QTest::keyClick(contents, Qt::Key_Space);
    EXPECT_EQ(clicks, 1);
    QTest::keyClick(contents, Qt::Key_Return);
    EXPECT_EQ(clicks, 2);
    QTest::keyClick(contents, Qt::Key_A);
    EXPECT_EQ(clicks, 2);
}

TEST_F(Viewer, TheDockedWindowFitsTheWorkAreaFrameIncluded) {
    QRect work = QGuiApplication::primaryScreen()->availableGeometry();
    HelpSettings settings;
    HelpDialog dialog(settings, nullptr, nullptr);
    // Docked before it is shown, as Lumio does: the frame comes only with the window.
    dialog.Dock(work);
    dialog.show();
    Settle();
    QRect frame = dialog.frameGeometry();
    ASSERT_NE(frame, dialog.geometry()) << "the platform gives this window no frame";
    EXPECT_EQ(frame.top(), work.top());
    EXPECT_EQ(frame.bottom(), work.bottom());
    EXPECT_EQ(frame.right(), work.right());
    EXPECT_EQ(dialog.width(), HelpDialog::kWidth);
    // Moved by hand, it stays where the user put it.
    dialog.move(work.left(), work.top());
    Settle();
    EXPECT_EQ(dialog.frameGeometry().left(), work.left());
}

TEST_F(Viewer, AShowRequestBringsAMinimisedHelpWindowBack) {
    Send(kRequestShowPage, "Page.htm");
    Settle();
    HelpDialog* dialog = m_viewer.Dialog();
    ASSERT_TRUE(dialog);
    dialog->showMinimized();
    Settle();
    Send(kRequestShowPage, "Contents.htm");
    Settle();
    EXPECT_FALSE(dialog->isMinimized());
    EXPECT_TRUE(dialog->isVisible());
}

// Pop-up text was 8.5 points whatever the desktop's size, and the two corners beside the
// shadow were left unpainted.
TEST_F(Viewer, PopupTextIsAtLeastTheDesktopSizeAndItsCornersAreClear) {
    QFont desktop = QApplication::font();
    QFont larger = desktop;
    larger.setPointSizeF(13);
    QApplication::setFont(larger);
    Send(kRequestContextPopup, "10,20,327681");
    Settle();
    ASSERT_TRUE(m_viewer.Popup());
    PopupWindow& popup = *m_viewer.Popup();
    QTextCursor cursor(popup.TextEdit()->document());
    cursor.setPosition(1);
    EXPECT_GE(cursor.charFormat().fontPointSize(), 13.0);
    EXPECT_GE(QFontInfo(cursor.charFormat().font()).pointSizeF(), 12.5);

    QImage image = popup.grab().toImage().convertToFormat(QImage::Format_ARGB32);
    test::SavePngIfAsked(popup, QStringLiteral("lumio-popup"));
    const int s = PopupWindow::kShadow;
    int w = image.width();
    int h = image.height();
    ASSERT_GT(w, 2 * s);
    ASSERT_GT(h, 2 * s);
    // The squares above the right shadow and left of the bottom one show what is behind.
    int opaque = 0;
    for (int y = 0; y < s; ++y) {
        for (int x = 0; x < s; ++x) {
            opaque += qAlpha(image.pixel(w - s + x, y)) != 0;
            opaque += qAlpha(image.pixel(x, h - s + y)) != 0;
        }
    }
    EXPECT_EQ(opaque, 0);
    // The shadow itself and the box are painted.
    EXPECT_EQ(qAlpha(image.pixel(w - 1, h - 2)), 255);
    EXPECT_EQ(image.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(qAlpha(image.pixel(w / 2, h / 2)), 255);
    QApplication::setFont(desktop);
}

// Shift+F1 in Tamblin asks for a pop-up while the help window is open: the window steps
// aside for it and comes back when a key closes the pop-up, but not once Lumio closes.
TEST_F(Viewer, APopupHidesTheHelpWindowOnlyWhileItIsOpen) {
    Send(kRequestShowPage, "Page.htm");
    Settle();
    ASSERT_TRUE(m_viewer.Dialog());
    ASSERT_TRUE(m_viewer.Dialog()->isVisible());
    Send(kRequestContextPopup, "10,20,327681"); // 0x50001: pop-up only
    Settle();
    ASSERT_TRUE(m_viewer.Popup());
    EXPECT_FALSE(m_viewer.Dialog()->isVisible());
    QTest::keyClick(m_viewer.Popup(), Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Settle();
    EXPECT_FALSE(m_viewer.Popup());
    EXPECT_TRUE(m_viewer.Dialog()->isVisible());

    Send(kRequestContextPopup, "10,20,327681");
    Settle();
    ASSERT_TRUE(m_viewer.Popup());
    QPointer<HelpDialog> dialog = m_viewer.Dialog();
    m_viewer.Close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Settle();
    EXPECT_TRUE(!dialog || !dialog->isVisible());
}
