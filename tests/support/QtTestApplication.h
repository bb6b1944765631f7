#pragma once

#include <QApplication>
#include <QString>

#include <ostream>

namespace vantiro::test {

// The one QApplication of a widget test program, made on first use (GoogleTest owns main), on
// the offscreen platform unless the runner chose another.
inline QApplication& qtTestApplication()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "vantiro-test";
    static char* argv[] = {name, nullptr};
    // Never destroyed: at exit Qt's own globals may already be gone.
    static auto* application = new QApplication(argc, argv);
    return *application;
}

} // namespace vantiro::test

// Readable QString values in GoogleTest failure messages.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
