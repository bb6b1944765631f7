#include "core/generator/Random.h"
#include "platform/ProgramFolder.h"
#include "qt/main/frmMain.h"
#include "qt/platform/QtFileDialogs.h"
#include "qt/platform/QtMessageBoxes.h"
#include "qt/platform/QtShell.h"
#include "qt/platform/QtStyleDialogs.h"
#include "qt/platform/QtTranslation.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vantiro"));
    vantiro::QtTranslation::installGerman(app);

    vantiro::QtMessageBoxes boxes;
    vantiro::QtShell shell;
    vantiro::QtFileDialogs files;
    vantiro::QtStyleDialogs styles;
    vantiro::Random random = vantiro::Random::fromEntropy();

    vantiro::frmMain window(vantiro::ProgramFolder::forThisProgram(),
                            {boxes, shell, files, styles, random});
    window.show();
    return app.exec();
}
