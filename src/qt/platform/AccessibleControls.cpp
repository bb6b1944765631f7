#include "qt/platform/AccessibleControls.h"

#include "qt/platform/NamedComboBox.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QLatin1StringView>

namespace vantiro {
namespace {

class NamedComboBoxInterface final : public QAccessibleWidget {
public:
    explicit NamedComboBoxInterface(QComboBox* combo)
        : QAccessibleWidget(combo, QAccessible::ComboBox)
    {
    }

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Value)
            return combo()->currentText();
        return QAccessibleWidget::text(kind);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.expandable = true;
        state.expanded = combo()->view()->isVisible();
        state.editable = combo()->isEditable();
        return state;
    }

    QStringList actionNames() const override
    {
        return QStringList{showMenuAction(), pressAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& action) override
    {
        if (action == showMenuAction() || action == pressAction())
            combo()->showPopup();
        else
            QAccessibleWidget::doAction(action);
    }

private:
    QComboBox* combo() const { return static_cast<QComboBox*>(widget()); }
};

QAccessibleInterface* interfaceFor(const QString& className, QObject* object)
{
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget)
        return nullptr;
    if (className == QLatin1StringView(NamedComboBox::staticMetaObject.className()))
        return new NamedComboBoxInterface(static_cast<QComboBox*>(widget));
    // Asked first for the object's own class: a window class of ours built directly on QWidget,
    // which Qt would report as a client area.
    const QMetaObject* type = object->metaObject();
    if (widget->isWindow() && className == QLatin1StringView(type->className()) &&
        type->superClass() == &QWidget::staticMetaObject &&
        className.startsWith(QLatin1StringView("vantiro::")))
        return new QAccessibleWidget(widget, QAccessible::Window);
    return nullptr;
}

} // namespace

void AccessibleControls::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(&interfaceFor);
        return true;
    }();
    (void)installed;
}

} // namespace vantiro
