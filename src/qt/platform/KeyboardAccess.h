#pragma once

#include <QObject>

#include <initializer_list>

class QAbstractButton;
class QButtonGroup;
class QLabel;
class QPlainTextEdit;
class QWidget;

namespace vantiro {

// What keyboard and screen-reader users expect of the windows' controls, as the edit controls and
// option groups of other desktop programs behave.
class KeyboardAccess final : public QObject {
    Q_OBJECT

public:
    // Tab and Shift+Tab leave the field, Ctrl+Tab inserts a tab character, and Enter with Shift
    // starts a new paragraph like Enter alone, so every line end comes out as CR LF.
    static void makeMultiLineField(QPlainTextEdit& edit);

    // Tab reaches only the selected option of the group, so Tab into the group lands on it; the
    // arrow keys move between the options as before.
    static void makeOptionGroup(QButtonGroup& group);

    // The label in front of a field names it for screen readers and Alt shortcuts.
    static void nameByLabel(QLabel& label, QWidget& field);

    // A field without a label of its own, such as a list under a heading.
    static void name(QWidget& field, const QString& name);

    // Tab visits the widgets in this order.
    static void setTabOrder(std::initializer_list<QWidget*> widgets);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit KeyboardAccess(QObject* parent) : QObject(parent) {}
};

} // namespace vantiro
