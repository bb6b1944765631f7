#include "qt/ftp/DriveList.h"

#include <QDir>
#include <QStorageInfo>

#include <algorithm>

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

} // namespace

DriveList::DriveList(QWidget* parent) : QComboBox(parent)
{
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
