#pragma once

#include <deque>
#include <optional>
#include <utility>

namespace vantiro::test {

// The next scripted answer of a fake dialog; std::nullopt (a cancel) once the script has run out.
template <typename T> std::optional<T> nextAnswer(std::deque<std::optional<T>>& script)
{
    if (script.empty())
        return std::nullopt;
    // Moved out element by element: copying the optional as a whole trips a false
    // "maybe uninitialized" warning in GCC 12.
    const bool given = script.front().has_value();
    T answer = given ? std::move(*script.front()) : T();
    script.pop_front();
    if (!given)
        return std::nullopt;
    return answer;
}

} // namespace vantiro::test
