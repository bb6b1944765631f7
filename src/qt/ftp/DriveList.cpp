#include "qt/ftp/DriveList.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QDir>
#include <QStorageInfo>

#include <algorithm>
#include <mutex>

namespace vantiro {
namespace {

QStringList mountedRoots()
{
    QStringList roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady() && !roots.contains(volume.rootPath()))
            roots.append(volume.rootPath());
    }
    // "/" sorts before every other absolute path.
    std::sort(roots.begin(), roots.end());
    if (roots.isEmpty() || roots.front() != QDir::rootPath())
        roots.prepend(QDir::rootPath());
    return roots;
}

// On Linux Qt names a drop-down list by its current value, so a screen reader would announce
// "/" and never "Lokaler Datenträger". This interface gives the list its own name and the drive
// as its value; the drives themselves are chosen with the arrow keys or from the list it opens.
class DriveListAccessible final : public QAccessibleWidget {
public:
    explicit DriveListAccessible(DriveList* list) : QAccessibleWidget(list, QAccessible::ComboBox)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return list().currentText();
        return QAccessibleWidget::text(t);
    }

    QStringList actionNames() const override
    {
        QStringList names;
        if (list().isEnabled())
            names << showMenuAction();
        return names + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& actionName) override
    {
        if (actionName == showMenuAction() || actionName == pressAction()) {
            if (list().isEnabled())
                list().showPopup();
            return;
        }
        QAccessibleWidget::doAction(actionName);
    }

private:
    DriveList& list() const { return *static_cast<DriveList*>(widget()); }
};

QAccessibleInterface* driveListAccessible(const QString& className, QObject* object)
{
    if (className == QLatin1String(DriveList::staticMetaObject.className()) && object)
        return new DriveListAccessible(static_cast<DriveList*>(object));
    return nullptr;
}

} // namespace

DriveList::DriveList(QWidget* parent) : QComboBox(parent)
{
    static std::once_flag accessibleOnce;
    std::call_once(accessibleOnce, [] { QAccessible::installFactory(&driveListAccessible); });
    addItems(mountedRoots());
    const int current = findText(QStorageInfo(QDir::currentPath()).rootPath());
    setCurrentIndex(std::max(current, 0));
    connect(this, &QComboBox::currentIndexChanged, this,
            [this](int) { emit driveChanged(drive()); });
}

QString DriveList::drive() const
{
    return currentText();
}

} // namespace vantiro
