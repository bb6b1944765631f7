#include "qt/ftp/RemoteText.h"

#include "core/ftp/RemoteName.h"
#include "core/text/Cp1252.h"

namespace vantiro {

QString RemoteText::display(const std::string& bytes)
{
    if (isUtf8(bytes))
        return QString::fromStdString(bytes);
    return QString::fromStdString(Cp1252::toUtf8(bytes));
}

std::string RemoteText::typed(const QString& text)
{
    return text.toStdString();
}

} // namespace vantiro
