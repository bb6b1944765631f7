#pragma once

#include <QApplication>
#include <QComboBox>
#include <QString>
#include <QStringList>
#include <QTest>
#include <QWidget>

namespace vantiro::test {

// The control that has the focus, named as the window names it (an editable list's own line
// edit counts as the list).
inline QString focusedName()
{
    QWidget* focused = QApplication::focusWidget();
    if (!focused)
        return QStringLiteral("(none)");
    if (auto* combo = qobject_cast<QComboBox*>(focused->parentWidget()))
        return combo->objectName();
    return focused->objectName();
}

// The controls Tab visits from start until it comes back to it, start first.
inline QStringList tabCycle(QWidget& start)
{
    start.setFocus();
    QStringList visited{focusedName()};
    for (int i = 0; i < 60; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        if (focusedName() == visited.front())
            break;
        visited << focusedName();
    }
    return visited;
}

} // namespace vantiro::test
