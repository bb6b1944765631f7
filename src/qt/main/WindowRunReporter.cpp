#include "qt/main/WindowRunReporter.h"

#include "qt/main/WidgetText.h"
#include "qt/platform/MessageBoxes.h"

#include <QCoreApplication>
#include <QWidget>

namespace vantiro {

WindowRunReporter::WindowRunReporter(QWidget& window, MessageBoxes& boxes, FocusWidget focusWidget,
                                     ShowSettings showSettings)
    : window_(window), boxes_(boxes), focusWidget_(std::move(focusWidget)),
      showSettings_(std::move(showSettings))
{
}

void WindowRunReporter::settingsChanged()
{
    showSettings_();
}

void WindowRunReporter::setCaption(const std::string& caption)
{
    window_.setWindowTitle(WidgetText::fromUtf8(caption));
    // The run keeps the event loop busy; let the new caption and pending repaints through, but
    // no clicks or keys, which would start handlers in the middle of the run.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void WindowRunReporter::setBusy(bool busy)
{
    if (busy)
        busy_.show();
    else
        busy_.hide();
}

void WindowRunReporter::showMessage(const std::string& title, const std::string& text,
                                    MessageIcon icon)
{
    boxes_.message(WidgetText::fromUtf8(title), WidgetText::fromUtf8(text),
                   icon == MessageIcon::Exclamation ? MessageBoxes::Icon::Exclamation
                                                    : MessageBoxes::Icon::None);
}

void WindowRunReporter::setFocus(FocusTarget target)
{
    if (QWidget* widget = focusWidget_(target))
        widget->setFocus(Qt::OtherFocusReason);
}

} // namespace vantiro
