#include "qt/ftp/FileList.h"

#include <QDir>

namespace vantiro {

FileList::FileList(QWidget* parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::ExtendedSelection);
}

void FileList::setPath(const QString& folder)
{
    path_ = folder;
    refresh();
}

void FileList::refresh()
{
    clear();
    // Without QDir::Hidden and QDir::System: no dot files, no sockets, pipes or devices.
    addItems(QDir(path_).entryList(QDir::Files, QDir::Name));
}

QString FileList::fileName() const
{
    const QListWidgetItem* item = currentItem();
    return item ? item->text() : QString();
}

QStringList FileList::selectedFileNames() const
{
    QStringList names;
    for (int row = 0; row < count(); ++row) {
        if (item(row)->isSelected())
            names.append(item(row)->text());
    }
    return names;
}

} // namespace vantiro
