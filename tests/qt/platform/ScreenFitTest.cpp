#include "qt/platform/ScreenFit.h"
#include "core/generator/Random.h"
#include "qt/ftp/FtpWindow.h"
#include "qt/main/MainWindow.h"
#include "support/FakeFileDialogs.h"
#include "support/FakeMessageBoxes.h"
#include "support/FakeShell.h"
#include "support/FakeStyleDialogs.h"
#include "support/QtTestApplication.h"
#include "support/TempDir.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace vantiro::test {
namespace {

// Every test here runs on a 1920 by 1080 screen at 200 %, which leaves 960 by 540 logical
// pixels, set up before the application starts.
TempDir screenFolder;
const bool scaledTwice = [] {
    writeFile(screenFolder.file("screen.json"),
              R"({"screens": [{"name": "wide", "x": 0, "y": 0, "width": 1920, "height": 1080,)"
              R"( "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    const std::string platform = "offscreen:configfile=" + screenFolder.file("screen.json");
    qputenv("QT_QPA_PLATFORM", QByteArray::fromStdString(platform));
    qputenv("QT_SCALE_FACTOR", "2");
    return true;
}();

class ScreenFitTest : public ::testing::Test {
protected:
    ScreenFitTest() { qtTestApplication(); }

    static QRect available(const QWidget& window) { return window.screen()->availableGeometry(); }

    // Shown, inside the screen's free area, and no larger than 960 by 540 at its smallest.
    static void expectFits(QWidget& window)
    {
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        EXPECT_TRUE(available(window).contains(window.frameGeometry()))
            << window.frameGeometry().width() << "x" << window.frameGeometry().height();
        EXPECT_LE(window.minimumSizeHint().width(), 960);
        EXPECT_LE(window.minimumSizeHint().height(), 540);
        // Across, the content fits 960 pixels, so only vertical scrolling is ever needed there.
        auto* content = window.findChild<QWidget*>(QStringLiteral("scrolledContent"));
        ASSERT_NE(content, nullptr);
        EXPECT_LE(content->minimumSizeHint().width(), 960 - 20);
    }

    // Scrolled into view the way focus moves it there; the control is then wholly visible.
    static void expectReachable(QWidget& window, const char* name)
    {
        auto* control = window.findChild<QWidget*>(QString::fromLatin1(name));
        ASSERT_NE(control, nullptr) << name;
        auto* scroll = window.findChild<QScrollArea*>();
        ASSERT_NE(scroll, nullptr);
        scroll->ensureWidgetVisible(control, 0, 0);
        const QRect inView(control->mapTo(scroll->viewport(), QPoint(0, 0)), control->size());
        EXPECT_TRUE(scroll->viewport()->rect().contains(inView)) << name;
    }

    TempDir folder;
    FakeMessageBoxes boxes;
};

TEST_F(ScreenFitTest, MainWindowOpensInsideTheScreenAndScrollsToEveryButton)
{
    ASSERT_DOUBLE_EQ(qtTestApplication().devicePixelRatio(), 2.0);
    ASSERT_EQ(QGuiApplication::primaryScreen()->geometry().size(), QSize(960, 540));
    FakeShell shell;
    FakeFileDialogs files;
    FakeStyleDialogs styles;
    Random random(1);
    MainWindow window(ProgramPaths{folder.path(), {folder.path()}},
                      WindowServices{boxes, shell, files, styles, random});
    expectFits(window);
    for (const char* name : {"Label17", "txtAnzahlSeiten", "cmdUpload", "cmdEnde", "cmdErstellen"})
        expectReachable(window, name);

    // Tab brings the control it reaches into view.
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    auto* scroll = window.findChild<QScrollArea*>();
    scroll->ensureWidgetVisible(window.findChild<QWidget*>(QStringLiteral("cmbDoctype")));
    window.findChild<QWidget*>(QStringLiteral("txtAnzahlSeiten"))->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QWidget* upload = window.findChild<QWidget*>(QStringLiteral("cmdUpload"));
    ASSERT_EQ(QApplication::focusWidget(), upload);
    const QRect inView(upload->mapTo(scroll->viewport(), QPoint(0, 0)), upload->size());
    EXPECT_TRUE(scroll->viewport()->rect().contains(inView));
}

TEST_F(ScreenFitTest, FtpWindowOpensInsideTheScreenWithExitReachable)
{
    FtpWindow window(
        boxes, [] { return std::unique_ptr<FtpClient>(); }, QString::fromStdString(folder.path()));
    expectFits(window);
    for (const char* name : {"cmdExit", "cmdConnect", "cmdUpload"})
        expectReachable(window, name);
}

TEST_F(ScreenFitTest, WrappedTextDoesNotMakeAWindowScrollThatHasRoom)
{
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* wrapped = new QLabel(QStringLiteral(" Ein langer Hinweis, der umbricht.").repeated(12));
    wrapped->setWordWrap(true);
    layout->addWidget(wrapped);
    layout->addWidget(new QLabel(QStringLiteral("Ende")));
    ScreenFit::fit(window, QSize(300, 120));
    expectFits(window);
    QApplication::processEvents();
    auto* scroll = window.findChild<QScrollArea*>();
    EXPECT_FALSE(scroll->verticalScrollBar()->isVisible());
    EXPECT_FALSE(scroll->horizontalScrollBar()->isVisible());
}

TEST_F(ScreenFitTest, PreferredSizeIsKeptWhenTheScreenHasRoomAndTheWindowIsMovedOntoIt)
{
    QWidget small;
    auto* layout = new QVBoxLayout(&small);
    layout->addWidget(new QLabel(QStringLiteral("x")));
    ScreenFit::fit(small, QSize(200, 100));
    EXPECT_EQ(small.size(), QSize(200, 100));

    QWidget large;
    new QVBoxLayout(&large);
    ScreenFit::fit(large, QSize(2000, 1280));
    large.move(available(large).topLeft() + QPoint(300, 250));
    expectFits(large);
}

} // namespace
} // namespace vantiro::test
