#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace vantiro {

// The colour and font dialogs behind the style buttons; std::nullopt when the user cancelled.
class StyleDialogs {
public:
    virtual ~StyleDialogs() = default;

    // The chosen colour with red in the lowest byte, green in the next and blue in the third.
    virtual std::optional<std::uint32_t> chooseColor() = 0;

    // The family name of the chosen font; size, style and effects are not asked for.
    virtual std::optional<QString> chooseFont() = 0;
};

} // namespace vantiro
