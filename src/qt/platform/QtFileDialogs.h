#pragma once

#include "qt/platform/DialogParent.h"
#include "qt/platform/FileDialogs.h"

namespace vantiro {

class QtFileDialogs final : public FileDialogs {
public:
    explicit QtFileDialogs(QWidget* parent = nullptr) : parent_(parent) {}

    QString openFile(const QString& initialFolder, const QString& filter) override;

private:
    DialogParent parent_;
};

} // namespace vantiro
