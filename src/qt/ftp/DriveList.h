#pragma once

#include <QComboBox>

namespace vantiro {

// The mounted file systems, the root first; it starts at the one holding the current folder.
class DriveList final : public QComboBox {
    Q_OBJECT
public:
    explicit DriveList(QWidget* parent = nullptr);

    QString drive() const;

signals:
    void driveChanged(const QString& rootPath);
};

} // namespace vantiro
