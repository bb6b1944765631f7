#pragma once

#include <QListWidget>

namespace vantiro {

// The visible ordinary files of one folder; several can be selected at once.
class FileList final : public QListWidget {
    Q_OBJECT
public:
    explicit FileList(QWidget* parent = nullptr);

    void setPath(const QString& folder);
    QString path() const { return path_; }
    // Reads the folder again.
    void refresh();

    // The name of the current line, empty when there is none.
    QString fileName() const;
    QStringList selectedFileNames() const;

private:
    QString path_;
};

} // namespace vantiro
