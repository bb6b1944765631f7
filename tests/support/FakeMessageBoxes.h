#pragma once

#include "platform/MessageBoxes.h"

#include <deque>
#include <functional>
#include <vector>

namespace vantiro::test {

// Records every box instead of showing it; input boxes answer from a script (cancel when it
// has run out).
class FakeMessageBoxes final : public MessageBoxes {
public:
    struct Message {
        QString title;
        QString text;
        Icon icon;
    };
    struct Question {
        QString title;
        QString prompt;
        QString preset;
    };

    std::vector<Message> messages;
    std::vector<Question> questions;
    std::deque<std::optional<QString>> answers;
    // Runs while a message is "shown", e.g. to look at the window at that moment.
    std::function<void(const Message&)> onMessage;

    void message(const QString& title, const QString& text, Icon icon) override
    {
        messages.push_back({title, text, icon});
        if (onMessage)
            onMessage(messages.back());
    }

    std::optional<QString> input(const QString& title, const QString& prompt,
                                 const QString& preset) override
    {
        questions.push_back({title, prompt, preset});
        if (answers.empty())
            return std::nullopt;
        // Moved out element by element: copying the optional as a whole trips a false
        // "maybe uninitialized" warning in GCC 12.
        const bool confirmed = answers.front().has_value();
        QString answer = confirmed ? std::move(*answers.front()) : QString();
        answers.pop_front();
        if (!confirmed)
            return std::nullopt;
        return answer;
    }
};

} // namespace vantiro::test
