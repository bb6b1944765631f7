#include "qt/platform/ScreenFit.h"

#include <QEvent>
#include <QLayout>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>
#include <QWidget>

#include <algorithm>

namespace vantiro {
namespace {

QRect availableArea(const QWidget& window)
{
    const QScreen* screen = window.screen();
    return screen ? screen->availableGeometry() : QRect();
}

} // namespace

ScreenFit::ScreenFit(QWidget& window) : QObject(&window)
{
    window.installEventFilter(this);
}

void ScreenFit::fit(QWidget& window, QSize preferred)
{
    // Taking the layout moves the controls it holds into the scrolled content.
    auto* content = new QWidget;
    content->setObjectName(QStringLiteral("scrolledContent"));
    content->setLayout(window.layout());
    auto* scroll = new QScrollArea(&window);
    scroll->setObjectName(QStringLiteral("windowScrollArea"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    // Tab goes from control to control; the area itself is no stop.
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setWidget(content);
    auto* outer = new QVBoxLayout(&window);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll);

    QSize size = preferred.expandedTo(content->minimumSizeHint());
    const QRect area = availableArea(window);
    if (area.isValid()) {
        // Room for the title bar and borders the window manager adds around the window.
        const int titleBar = window.style()->pixelMetric(QStyle::PM_TitleBarHeight);
        const int border = 2 * window.style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
        size = size.boundedTo(area.size() - QSize(border, titleBar + border));
    }
    window.resize(size);
    new ScreenFit(window);
}

bool ScreenFit::eventFilter(QObject* watched, QEvent* event)
{
    auto* window = qobject_cast<QWidget*>(watched);
    if (window && event->type() == QEvent::Show && window->isWindow()) {
        const QRect area = availableArea(*window);
        QRect frame = window->frameGeometry();
        if (area.isValid() && !area.contains(frame)) {
            // Now that the frame is known, the window itself gets what the frame leaves over.
            const QSize margins = frame.size() - window->size();
            if (frame.width() > area.width() || frame.height() > area.height()) {
                window->resize(window->size().boundedTo(area.size() - margins));
                frame = window->frameGeometry();
            }
            const int x =
                std::max(area.left(), std::min(frame.left(), area.right() + 1 - frame.width()));
            const int y =
                std::max(area.top(), std::min(frame.top(), area.bottom() + 1 - frame.height()));
            window->move(x, y);
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace vantiro
