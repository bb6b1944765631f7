#include "qt/platform/QtStyleDialogs.h"

#include <QColorDialog>
#include <QFontDialog>

namespace vantiro {

std::optional<std::uint32_t> QtStyleDialogs::chooseColor()
{
    const QColor color = QColorDialog::getColor(Qt::white, parent_.widget());
    if (!color.isValid())
        return std::nullopt;
    return colorValue(color);
}

std::uint32_t QtStyleDialogs::colorValue(const QColor& color)
{
    return static_cast<std::uint32_t>(color.red()) |
           (static_cast<std::uint32_t>(color.green()) << 8) |
           (static_cast<std::uint32_t>(color.blue()) << 16);
}

std::optional<QString> QtStyleDialogs::chooseFont()
{
    bool confirmed = false;
    const QFont font = QFontDialog::getFont(&confirmed, parent_.widget());
    if (!confirmed)
        return std::nullopt;
    return font.family();
}

} // namespace vantiro
