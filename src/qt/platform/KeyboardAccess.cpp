#include "qt/platform/KeyboardAccess.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTextCursor>

namespace vantiro {
namespace {

void updateTabStops(const QButtonGroup& group)
{
    const bool anyChecked = group.checkedButton() != nullptr;
    for (QAbstractButton* option : group.buttons()) {
        const bool stop = option->isChecked() || (!anyChecked && option == group.buttons().first());
        option->setFocusPolicy(stop ? Qt::StrongFocus : Qt::ClickFocus);
    }
}

} // namespace

void KeyboardAccess::makeMultiLineField(QPlainTextEdit& edit)
{
    edit.setTabChangesFocus(true);
    edit.installEventFilter(new KeyboardAccess(&edit));
}

void KeyboardAccess::makeOptionGroup(QButtonGroup& group)
{
    updateTabStops(group);
    QObject::connect(&group, &QButtonGroup::buttonToggled, &group,
                     [&group] { updateTabStops(group); });
}

void KeyboardAccess::nameByLabel(QLabel& label, QWidget& field)
{
    label.setBuddy(&field);
    field.setAccessibleName(label.text().trimmed());
}

void KeyboardAccess::name(QWidget& field, const QString& name)
{
    field.setAccessibleName(name);
}

void KeyboardAccess::setTabOrder(std::initializer_list<QWidget*> widgets)
{
    QWidget* previous = nullptr;
    for (QWidget* widget : widgets) {
        if (previous)
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

bool KeyboardAccess::eventFilter(QObject* watched, QEvent* event)
{
    auto* edit = qobject_cast<QPlainTextEdit*>(watched);
    if (!edit || event->type() != QEvent::KeyPress || edit->isReadOnly())
        return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
        modifiers == Qt::ShiftModifier) {
        // Shift+Enter would make a line separator, which comes out as a bare LF.
        QTextCursor cursor = edit->textCursor();
        cursor.insertBlock();
        edit->setTextCursor(cursor);
        return true;
    }
    if (key->key() == Qt::Key_Tab && modifiers == Qt::ControlModifier) {
        QTextCursor cursor = edit->textCursor();
        cursor.insertText(QStringLiteral("\t"));
        edit->setTextCursor(cursor);
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace vantiro
