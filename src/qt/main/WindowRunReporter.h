#pragma once

#include "core/generator/RunReporter.h"
#include "qt/main/BusyCursor.h"

#include <functional>

class QWidget;

namespace vantiro {

class MessageBoxes;

// Shows a generation run in the main window: progress in the caption, the hourglass pointer,
// message boxes and the focus after a refused input.
class WindowRunReporter final : public RunReporter {
public:
    using FocusWidget = std::function<QWidget*(FocusTarget)>;
    using ShowSettings = std::function<void()>;

    WindowRunReporter(QWidget& window, MessageBoxes& boxes, FocusWidget focusWidget,
                      ShowSettings showSettings);

    void setCaption(const std::string& caption) override;
    void setBusy(bool busy) override;
    void showMessage(const std::string& title, const std::string& text, MessageIcon icon) override;
    void setFocus(FocusTarget target) override;
    void settingsChanged() override;

private:
    QWidget& window_;
    MessageBoxes& boxes_;
    FocusWidget focusWidget_;
    ShowSettings showSettings_;
    BusyCursor busy_{false};
};

} // namespace vantiro
