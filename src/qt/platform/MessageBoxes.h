#pragma once

#include <QString>

#include <optional>

namespace vantiro {

// Modal message and input boxes. Window handlers reach them only through this interface, so
// tests can answer them with a scripted fake instead of blocking on a real box.
class MessageBoxes {
public:
    enum class Icon { None, Exclamation, Question };

    virtual ~MessageBoxes() = default;

    // One OK button. An empty title shows the application's title, "Vantiro 3.0".
    virtual void message(const QString& title, const QString& text, Icon icon) = 0;

    // A question with the buttons Yes and No, No preselected: true only for Yes. An empty title
    // shows the application's title.
    virtual bool question(const QString& title, const QString& text, Icon icon) = 0;

    // A single-line input box; std::nullopt when the user cancelled.
    virtual std::optional<QString> input(const QString& title, const QString& prompt,
                                         const QString& preset) = 0;
};

} // namespace vantiro
