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

// What the window manager adds around the window: known once the window has been shown, else
// estimated from the style's title bar and frame.
QSize decorations(const QWidget& window)
{
    const QSize known = window.frameGeometry().size() - window.size();
    const int titleBar = window.style()->pixelMetric(QStyle::PM_TitleBarHeight);
    const int border = 2 * window.style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    return known.expandedTo(QSize(border, titleBar + border));
}

// Holds the content at the size the scroll area offers, never below what the content needs. A
// content with height-for-width (a wrapped label) would otherwise be given its preferred height,
// taller than the window, and scroll from the start.
class ContentHolder final : public QWidget {
public:
    explicit ContentHolder(QWidget& content) : content_(content) { content.setParent(this); }

    QSize minimumSizeHint() const override { return content_.minimumSizeHint(); }
    QSize sizeHint() const override { return content_.minimumSizeHint(); }

protected:
    bool event(QEvent* event) override
    {
        if (event->type() == QEvent::LayoutRequest)
            updateGeometry();
        return QWidget::event(event);
    }

    void resizeEvent(QResizeEvent* event) override
    {
        content_.setGeometry(rect());
        QWidget::resizeEvent(event);
    }

private:
    QWidget& content_;
};

} // namespace

ScreenFit::ScreenFit(QWidget& window, QWidget& content, QSize preferred)
    : QObject(&window), content_(content), preferred_(preferred)
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
    scroll->setWidget(new ContentHolder(*content));
    auto* outer = new QVBoxLayout(&window);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll);
    auto* fitter = new ScreenFit(window, *content, preferred);
    fitter->resizeWithin(window);
}

void ScreenFit::resizeWithin(QWidget& window) const
{
    QSize size = preferred_.expandedTo(content_.minimumSizeHint());
    const QRect area = availableArea(window);
    if (area.isValid())
        size = size.boundedTo(area.size() - decorations(window));
    window.resize(size);
}

bool ScreenFit::eventFilter(QObject* watched, QEvent* event)
{
    auto* window = qobject_cast<QWidget*>(watched);
    if (window && event->type() == QEvent::Show && window->isWindow()) {
        // Polished for showing, the controls know the room they really need.
        if (!shown_)
            resizeWithin(*window);
        shown_ = true;
        const QRect area = availableArea(*window);
        QRect frame = window->frameGeometry();
        if (area.isValid() && !area.contains(frame)) {
            if (frame.width() > area.width() || frame.height() > area.height()) {
                window->resize(window->size().boundedTo(area.size() - decorations(*window)));
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
