#pragma once

#include <QApplication>
#include <QString>

#include <ostream>

namespace vantiro::test {

// The one QApplication of a widget test program, made on first use (GoogleTest owns main).
inline QApplication& qtTestApplication()
{
    static int argc = 1;
    static char name[] = "vantiro-test";
    static char* argv[] = {name, nullptr};
    static QApplication application(argc, argv);
    return application;
}

} // namespace vantiro::test

// Readable QString values in GoogleTest failure messages.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
