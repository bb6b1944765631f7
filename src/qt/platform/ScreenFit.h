#pragma once

#include <QObject>
#include <QSize>

class QWidget;

namespace vantiro {

// Makes a window fit the screen it opens on, also at large scaling: its content goes into a
// scroll area, so the window can be smaller than its controls need, and it opens at its preferred
// size (or what the controls need, if more), but never larger than the screen's free area and
// never beyond its edges.
class ScreenFit final : public QObject {
    Q_OBJECT

public:
    // window must already have its layout; call once, in place of resize().
    static void fit(QWidget& window, QSize preferred);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ScreenFit(QWidget& window, QWidget& content, QSize preferred);
    void resizeWithin(QWidget& window) const;

    QWidget& content_;
    QSize preferred_;
    bool shown_ = false;
};

} // namespace vantiro
