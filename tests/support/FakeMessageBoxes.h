#pragma once

#include "qt/platform/MessageBoxes.h"
#include "support/ScriptedAnswers.h"

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
    // Yes/No boxes are recorded with the messages (their text, title and icon) and answered from
    // here; No once it has run out.
    std::vector<Message> yesNoQuestions;
    std::deque<bool> yesNoAnswers;
    // Runs while a message is "shown", e.g. to look at the window at that moment.
    std::function<void(const Message&)> onMessage;

    void message(const QString& title, const QString& text, Icon icon) override
    {
        messages.push_back({title, text, icon});
        if (onMessage)
            onMessage(messages.back());
    }

    bool question(const QString& title, const QString& text, Icon icon) override
    {
        yesNoQuestions.push_back({title, text, icon});
        if (yesNoAnswers.empty())
            return false;
        const bool answer = yesNoAnswers.front();
        yesNoAnswers.pop_front();
        return answer;
    }

    std::optional<QString> input(const QString& title, const QString& prompt,
                                 const QString& preset) override
    {
        questions.push_back({title, prompt, preset});
        return nextAnswer(answers);
    }
};

} // namespace vantiro::test
