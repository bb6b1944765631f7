#include "qt/ftp/FolderList.h"

#include <QDir>
#include <QFileInfo>
#include <QStyle>

namespace vantiro {
namespace {

QString existingFolder(const QString& path)
{
    QString folder = QDir::cleanPath(QDir(path).absolutePath());
    while (!QFileInfo(folder).isDir() && !QDir(folder).isRoot())
        folder = QFileInfo(folder).path();
    return folder;
}

} // namespace

FolderList::FolderList(QWidget* parent) : QListWidget(parent)
{
    connect(this, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { setPath(item->data(Qt::UserRole).toString()); });
}

void FolderList::setPath(const QString& path)
{
    path_ = existingFolder(path);
    clear();
    QStringList parents{path_};
    for (QString parent = QFileInfo(path_).path(); parent != parents.front();
         parent = QFileInfo(parent).path())
        parents.prepend(parent);
    for (int depth = 0; depth < parents.size(); ++depth) {
        const QString name = depth == 0 ? parents[depth] : QFileInfo(parents[depth]).fileName();
        addLine(name, parents[depth], depth, true);
    }
    setCurrentRow(count() - 1);
    const QDir current(path_);
    for (const QString& sub : current.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        addLine(sub, current.filePath(sub), static_cast<int>(parents.size()), false);
    emit pathChanged(path_);
}

void FolderList::addLine(const QString& text, const QString& folder, int depth, bool open)
{
    auto* item = new QListWidgetItem(
        style()->standardIcon(open ? QStyle::SP_DirOpenIcon : QStyle::SP_DirClosedIcon),
        QString(depth * 2, QLatin1Char(' ')) + text, this);
    item->setData(Qt::UserRole, folder);
}

} // namespace vantiro
