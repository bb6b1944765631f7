#pragma once

#include "platform/StyleDialogs.h"

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
        return next(colors);
    }

    std::optional<QString> chooseFont() override
    {
        ++fontDialogs;
        return next(fonts);
    }

private:
    template <typename T> static std::optional<T> next(std::deque<std::optional<T>>& script)
    {
        if (script.empty())
            return std::nullopt;
        // Moved out element by element: copying the optional as a whole trips a false
        // "maybe uninitialized" warning in GCC 12.
        const bool chosen = script.front().has_value();
        T answer = chosen ? std::move(*script.front()) : T();
        script.pop_front();
        if (!chosen)
            return std::nullopt;
        return answer;
    }
};

} // namespace vantiro::test
