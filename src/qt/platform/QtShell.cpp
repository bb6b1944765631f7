#include "qt/platform/QtShell.h"

#include <QDesktopServices>
#include <QDir>
#include <QUrl>

namespace vantiro {

bool QtShell::open(const QString& pathOrAddress)
{
    // Local paths may hold "#" or "%", which an address would read as fragment or escape.
    const QUrl target = QDir::isAbsolutePath(pathOrAddress) ? QUrl::fromLocalFile(pathOrAddress)
                                                            : QUrl(pathOrAddress);
    return QDesktopServices::openUrl(target);
}

} // namespace vantiro
