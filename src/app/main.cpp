#include "app/ProgramFolder.h"
#include "app/frmMain.h"
#include "generator/Random.h"
#include "platform/QtFileDialogs.h"
#include "platform/QtMessageBoxes.h"
#include "platform/QtShell.h"
#include "platform/QtStyleDialogs.h"
#include "platform/QtTranslation.h"

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
