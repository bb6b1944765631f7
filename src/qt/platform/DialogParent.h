#pragma once

#include <QPointer>
#include <QWidget>

namespace vantiro {

// The window a modal box or dialog belongs to: the active window when there is one (a dialog
// opened over the main window), else the window the service was made for.
class DialogParent final {
public:
    explicit DialogParent(QWidget* fallback) : fallback_(fallback) {}

    QWidget* widget() const;

private:
    QPointer<QWidget> fallback_;
};

} // namespace vantiro
