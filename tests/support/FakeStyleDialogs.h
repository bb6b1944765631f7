#pragma once

#include "qt/platform/StyleDialogs.h"
#include "support/ScriptedAnswers.h"

#include <deque>

namespace vantiro::test {

// Colour and font dialogs that answer from a script (cancel when it has run out) and count
// how often they were shown.
class FakeStyleDialogs final : public StyleDialogs {
public:
    std::deque<std::optional<std::uint32_t>> colors;
    std::deque<std::optional<QString>> fonts;
    int colorDialogs = 0;
    int fontDialogs = 0;

    std::optional<std::uint32_t> chooseColor() override
    {
        ++colorDialogs;
        return nextAnswer(colors);
    }

    std::optional<QString> chooseFont() override
    {
        ++fontDialogs;
        return nextAnswer(fonts);
    }
};

} // namespace vantiro::test
