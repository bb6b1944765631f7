#include "qt/platform/DialogParent.h"

#include <QApplication>

namespace vantiro {

QWidget* DialogParent::widget() const
{
    if (QWidget* active = QApplication::activeModalWidget())
        return active;
    if (QWidget* active = QApplication::activeWindow())
        return active;
    return fallback_.data();
}

} // namespace vantiro
