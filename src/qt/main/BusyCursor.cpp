#include "qt/main/BusyCursor.h"

#include <QApplication>
#include <QCursor>

namespace vantiro {

BusyCursor::BusyCursor(bool shown)
{
    if (shown)
        show();
}

BusyCursor::~BusyCursor()
{
    hide();
}

void BusyCursor::show()
{
    if (shown_)
        return;
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    shown_ = true;
}

void BusyCursor::hide()
{
    if (!shown_)
        return;
    QApplication::restoreOverrideCursor();
    shown_ = false;
}

} // namespace vantiro
