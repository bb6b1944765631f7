#pragma once

#include <QListWidget>

namespace vantiro {

// A folder with its parents above it and its subfolders below it, one line each; a double
// click or Enter on a line moves there.
class FolderList final : public QListWidget {
    Q_OBJECT
public:
    explicit FolderList(QWidget* parent = nullptr);

    // A folder that does not exist is replaced by its nearest existing parent.
    void setPath(const QString& path);
    QString path() const { return path_; }

signals:
    void pathChanged(const QString& path);

private:
    void addLine(const QString& text, const QString& folder, int depth, bool open);

    QString path_;
};

} // namespace vantiro
