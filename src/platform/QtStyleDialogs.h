#pragma once

#include "platform/DialogParent.h"
#include "platform/StyleDialogs.h"

namespace vantiro {

class QtStyleDialogs final : public StyleDialogs {
public:
    explicit QtStyleDialogs(QWidget* parent = nullptr) : parent_(parent) {}

    std::optional<std::uint32_t> chooseColor() override;
    std::optional<QString> chooseFont() override;

private:
    DialogParent parent_;
};

} // namespace vantiro
