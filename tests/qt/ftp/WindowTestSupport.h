#pragma once

#include "support/QtTestApplication.h"

#include <QListWidget>
#include <QString>
#include <QStringList>

#include <string>

namespace vantiro::test {

inline QString text(const std::string& utf8)
{
    return QString::fromStdString(utf8);
}

inline QStringList lines(const QListWidget& list)
{
    QStringList result;
    for (int row = 0; row < list.count(); ++row)
        result.append(list.item(row)->text());
    return result;
}

} // namespace vantiro::test
