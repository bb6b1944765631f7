#include "ftp/window/RemoteText.h"

#include "ftp/RemoteName.h"
#include "platform/Cp1252.h"

#include <QFile>

namespace vantiro {

QString RemoteText::display(const std::string& bytes)
{
    if (IsUtf8(bytes))
        return QString::fromStdString(bytes);
    return QString::fromStdString(Cp1252::toUtf8(bytes));
}

std::string RemoteText::typed(const QString& text)
{
    return text.toStdString();
}

QString RemoteText::fromPath(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

std::string RemoteText::toPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

} // namespace vantiro
