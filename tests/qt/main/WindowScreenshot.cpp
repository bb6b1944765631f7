// Saves a picture of the main window as it starts, for the documentation:
//   QT_QPA_PLATFORM=offscreen vantiro_window_screenshot docs/main-window.png
#include "core/generator/Random.h"
#include "qt/main/MainWindow.h"
#include "support/FakeFileDialogs.h"
#include "support/FakeMessageBoxes.h"
#include "support/FakeShell.h"
#include "support/FakeStyleDialogs.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QPixmap>

#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <picture.png>\n", argv[0]);
        return 2;
    }
    vantiro::test::TempDir folder;
    vantiro::test::FakeMessageBoxes boxes;
    vantiro::test::FakeShell shell;
    vantiro::test::FakeFileDialogs files;
    vantiro::test::FakeStyleDialogs styles;
    vantiro::Random random(1);
    vantiro::MainWindow window({folder.path(), {folder.path()}},
                               {boxes, shell, files, styles, random});
    window.show();
    // The size the window opens with on a screen with room for it, whatever screen this runs on.
    if (const auto* content = window.findChild<QWidget*>(QStringLiteral("scrolledContent")))
        window.resize(window.size().expandedTo(content->minimumSizeHint()));
    QApplication::processEvents();
    if (!window.grab().save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
