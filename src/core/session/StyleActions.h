#pragma once

#include "core/session/PageSettings.h"

#include <string>

namespace vantiro {

// The three colours the colour buttons choose.
enum class BodyColor { background, text, link };

// What the style buttons and "Beispiel - Code" do to the window's state, once the dialogs and
// input boxes have been answered.
class StyleActions final {
public:
    // Stores the colour string, rebuilds BodyInformation and, unless the body is empty,
    // replaces the whole body by an empty body carrying the new tag.
    static void applyColor(PageSettings& settings, BodyColor which, const std::string& color);

    // Stores the font name and replaces the whole head content by the style block.
    static void applyFont(PageSettings& settings, const std::string& font);

    // The part of the sample template before its two questions: sample state, sample body with
    // its markers, the options that suit it.
    static void beginSample(PageSettings& settings);

    // The part after the questions: title and address go into the title field and the body.
    static void finishSample(PageSettings& settings, const std::string& title,
                             const std::string& address);
};

} // namespace vantiro
