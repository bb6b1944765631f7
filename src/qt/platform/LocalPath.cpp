#include "qt/platform/LocalPath.h"

#include <QFile>

namespace vantiro {

QString LocalPath::toQt(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

std::string LocalPath::fromQt(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

} // namespace vantiro
