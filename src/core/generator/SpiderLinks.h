#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vantiro {

// The link list that replaces "<%spider%>" on one page.
//
// Built by CrossLinks, the list has a shape the page writer relies on: it begins with "<A" and
// ends with a blank, and apart from its keywords it holds nothing that can take part in a
// placeholder. So the page writer needs to look only at the keywords that contain a "<"
// (the markup slots) instead of scanning the whole list a hundred times.
class SpiderLinks final {
public:
    struct Slot {
        size_t offset = 0;
        size_t length = 0;
    };

    // A list of arbitrary text: the page writer treats it with no shortcuts.
    static SpiderLinks fromText(std::string text);

    void clear();
    void appendLiteral(std::string_view text) { text_.append(text); }
    void appendKeyword(std::string_view keyword, bool hasMarkup)
    {
        if (hasMarkup)
            slots_.push_back({text_.size(), keyword.size()});
        text_.append(keyword);
    }

    const std::string& text() const { return text_; }
    const std::vector<Slot>& markupSlots() const { return slots_; }
    // True when the shape above holds and the shortcut is safe.
    bool isShaped() const;

private:
    std::string text_;
    std::vector<Slot> slots_;
    bool fromBuilder_ = true;
};

} // namespace vantiro
