#pragma once

#include "qt/platform/DialogParent.h"
#include "qt/platform/MessageBoxes.h"

namespace vantiro {

class QtMessageBoxes final : public MessageBoxes {
public:
    explicit QtMessageBoxes(QWidget* parent = nullptr) : parent_(parent) {}

    void message(const QString& title, const QString& text, Icon icon) override;
    bool question(const QString& title, const QString& text, Icon icon) override;
    std::optional<QString> input(const QString& title, const QString& prompt,
                                 const QString& preset) override;

private:
    DialogParent parent_;
};

} // namespace vantiro
