#pragma once

#include <string>

namespace vantiro {

// Controls that a failed check puts the focus on.
enum class FocusTarget { keywordFile, pageCount, revisit };

enum class MessageIcon { None, Exclamation };

// How a generation run talks to whoever started it: the main window or the command-line tool.
// Captions and messages are UTF-8 display texts (they name folders and files by their
// file-system paths); only what goes into the written files is Windows-1252.
class RunReporter {
public:
    virtual ~RunReporter() = default;

    virtual void setCaption(const std::string& caption) = 0;
    virtual void setBusy(bool busy) = 0;
    virtual void showMessage(const std::string& title, const std::string& text,
                             MessageIcon icon) = 0;
    virtual void setFocus(FocusTarget target) = 0;

    // The run has put the colours into the body template and the colour variables of the
    // settings it was given; a window shows the new body from here on.
    virtual void settingsChanged() {}

    // Called before page `page` (1-based) of `total` is built; for progress displays.
    virtual void pageStarted(int page, int total)
    {
        (void)page;
        (void)total;
    }
};

} // namespace vantiro
