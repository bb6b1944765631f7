#include "qt/platform/QtFileDialogs.h"

#include <QFileDialog>

namespace vantiro {

QString QtFileDialogs::openFile(const QString& initialFolder, const QString& filter)
{
    return QFileDialog::getOpenFileName(parent_.widget(), QString(), initialFolder, filter);
}

} // namespace vantiro
