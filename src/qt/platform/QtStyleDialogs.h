#pragma once

#include "qt/platform/DialogParent.h"
#include "qt/platform/StyleDialogs.h"

class QColor;

namespace vantiro {

class QtStyleDialogs final : public StyleDialogs {
public:
    explicit QtStyleDialogs(QWidget* parent = nullptr) : parent_(parent) {}

    std::optional<std::uint32_t> chooseColor() override;
    std::optional<QString> chooseFont() override;

    // The colour as the style code expects it: red in the lowest byte, then green, then blue.
    static std::uint32_t colorValue(const QColor& color);

private:
    DialogParent parent_;
};

} // namespace vantiro
