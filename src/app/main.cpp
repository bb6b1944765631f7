#include "core/generator/Random.h"
#include "platform/ProgramFolder.h"
#include "qt/main/MainWindow.h"
#include "qt/platform/QtFileDialogs.h"
#include "qt/platform/QtMessageBoxes.h"
#include "qt/platform/QtShell.h"
#include "qt/platform/QtStyleDialogs.h"
#include "qt/platform/QtTranslation.h"

#include <QApplication>
#include <QIcon>

#include <cstdio>
#include <cstring>

namespace {

// Answers --version and --help on the terminal, without a display. Returns false when the
// window is to be started.
bool answeredOnTerminal(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("vantiro %s\n", VANTIRO_VERSION);
            return true;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::printf("Aufruf: vantiro [--version] [--help]\n\n"
                        "Startet das Fenster des Doorpage-Generators. Arbeitsordner: neben dem\n"
                        "Programm, wenn dort die Datei vantiro.portable liegt, sonst\n"
                        "$XDG_DATA_HOME/vantiro (~/.local/share/vantiro).\n"
                        "Ohne Fenster arbeitet vantiro-cli (vantiro-cli --help).\n");
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char* argv[])
{
    if (answeredOnTerminal(argc, argv))
        return 0;
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vantiro"));
    // Ties the windows to the installed menu entry and its icon on Wayland and X11.
    QGuiApplication::setDesktopFileName(QStringLiteral("example.vantiro.Vantiro"));
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/%1.png").arg(size), QSize(size, size));
    QApplication::setWindowIcon(icon);
    vantiro::QtTranslation::installGerman(app);

    vantiro::QtMessageBoxes boxes;
    vantiro::QtShell shell;
    vantiro::QtFileDialogs files;
    vantiro::QtStyleDialogs styles;
    vantiro::Random random = vantiro::Random::fromEntropy();

    vantiro::MainWindow window(vantiro::ProgramFolder::forThisProgram(),
                               {boxes, shell, files, styles, random});
    window.show();
    return app.exec();
}
