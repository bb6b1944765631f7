#pragma once

#include "core/generator/RunReporter.h"

#include <optional>
#include <string>
#include <vector>

namespace vantiro::test {

// Keeps everything a run reports, in order.
class RecordingReporter final : public RunReporter {
public:
    struct Message {
        std::string title;
        std::string text;
        MessageIcon icon;
    };

    void setCaption(const std::string& caption) override { captions.push_back(caption); }
    void setBusy(bool isBusy) override { busy.push_back(isBusy); }
    void showMessage(const std::string& title, const std::string& text, MessageIcon icon) override
    {
        messages.push_back({title, text, icon});
    }
    void setFocus(FocusTarget target) override { focus = target; }
    void settingsChanged() override { settingsShownAfterCaptions = captions.size(); }

    std::vector<std::string> captions;
    std::vector<bool> busy;
    std::vector<Message> messages;
    std::optional<FocusTarget> focus;
    std::optional<size_t> settingsShownAfterCaptions;
};

} // namespace vantiro::test
