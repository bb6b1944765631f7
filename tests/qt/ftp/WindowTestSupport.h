#pragma once

#include <QApplication>
#include <QListWidget>
#include <QString>
#include <QStringList>

#include <string>

namespace vantiro::test {

// Widgets need an application object; the first window test of a run creates it for all, on
// the offscreen platform also when the test runner did not pass that on.
inline void ensureApplication()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "ftp_window_test";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance())
        new QApplication(argc, argv);
}

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
