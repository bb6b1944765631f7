#include "app/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace vantiro {
namespace {

bool isFile(const QString& path)
{
    return QFileInfo(path).isFile();
}

} // namespace

ProgramPaths ProgramFolder::choose(const QString& executableFolder, const QString& dataFolder)
{
    if (canCreateFilesIn(executableFolder))
        return {executableFolder, executableFolder};
    QDir().mkpath(dataFolder);
    return {dataFolder, executableFolder};
}

ProgramPaths ProgramFolder::forThisProgram()
{
    return choose(QCoreApplication::applicationDirPath(),
                  QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

bool ProgramFolder::canCreateFilesIn(const QString& folder)
{
    QTemporaryFile probe(folder + QStringLiteral("/.vantiro-probe-XXXXXX"));
    return probe.open();
}

QString ProgramFolder::pixelFile(const ProgramPaths& paths)
{
    const QString own = paths.programFolder + QStringLiteral("/vtr.gif");
    const QString shipped = paths.executableFolder + QStringLiteral("/vtr.gif");
    return !isFile(own) && isFile(shipped) ? shipped : own;
}

QString ProgramFolder::helpPage(const ProgramPaths& paths)
{
    const QString page = paths.executableFolder + QStringLiteral("/hilfe.html");
    return isFile(page) ? page : QString();
}

} // namespace vantiro
