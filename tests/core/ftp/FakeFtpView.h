#pragma once

#include "core/ftp/FtpView.h"

#include <array>
#include <deque>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <utility>

namespace vantiro::test {

// Records what the session shows and answers its questions from public fields.
class FakeFtpView final : public FtpView {
public:
    std::string server = "ftp.example.test";
    std::string user = "anna";
    std::string password = "geheim";
    std::string filter = "*.*";

    std::vector<std::string> statuses;
    std::string security = "(nie gesetzt)";
    std::vector<std::string> messages;
    std::string location;
    std::vector<std::string> lines;
    int currentLine = -1;
    std::vector<int> selectedLines;
    std::vector<std::string> details;
    std::string state;
    std::deque<std::optional<std::string>> answers;
    std::vector<std::vector<std::string>> questions;
    int busyDepth = 0;
    std::vector<std::pair<std::size_t, std::size_t>> progress;
    std::function<void()> onProcessEvents;
    // Runs while a message box would be open.
    std::function<void()> onMessage;

    std::string folder;
    std::vector<std::string> localFiles;
    std::vector<std::string> selectedFiles;
    int refreshes = 0;
    std::string copyFolder;
    std::vector<std::string> viewed;
    std::vector<std::string> viewerTitles;
    int calls = 0;
    std::vector<std::pair<std::uint64_t, std::uint64_t>> fileProgress;
    // Files done, files, bytes done, bytes: filled from the run's threads.
    std::vector<std::array<std::uint64_t, 4>> runProgress;
    std::vector<std::string> runStatuses;
    std::mutex runProgressMutex;

    std::string serverText() const override { return server; }
    std::string userText() const override { return user; }
    std::string passwordText() const override { return password; }
    std::string filterText() const override { return filter; }
    bool passiveChecked() const override { return true; }

    void setStatus(const std::string& text) override { statuses.push_back(text); }
    void setSecurity(const std::string& text) override { security = text; }
    void setLocation(const std::string& text) override { location = text; }
    void setServerLines(const std::vector<std::string>& newLines) override
    {
        lines = newLines;
        currentLine = -1;
        selectedLines.clear();
    }
    int currentServerLine() const override { return currentLine; }
    std::vector<int> selectedServerLines() const override { return selectedLines; }
    void setDetails(const std::string& changed, const std::string& size,
                    const std::string& attributes) override
    {
        details = {changed, size, attributes};
    }

    void setConnectedState() override { state = "connected"; }
    void setDisconnectedState() override { state = "disconnected"; }

    void showMessage(const std::string& text) override
    {
        messages.push_back(text);
        if (onMessage)
            onMessage();
    }
    std::optional<std::string> askInput(const std::string& title, const std::string& prompt,
                                        const std::string& preset) override
    {
        questions.push_back({title, prompt, preset});
        if (answers.empty())
            return std::nullopt;
        std::optional<std::string> answer = answers.front();
        answers.pop_front();
        return answer;
    }

    void setBusy(bool busy) override
    {
        busyDepth += busy ? 1 : -1;
        if (busyDepth < 0)
            throw std::logic_error("busy pointer restored more often than set");
    }
    void processEvents() override
    {
        if (onProcessEvents)
            onProcessEvents();
    }
    void runCall(const std::function<void()>& call) override
    {
        ++calls;
        call();
    }
    void showProgress(std::size_t done, std::size_t total) override
    {
        progress.emplace_back(done, total);
    }
    void showFileProgress(std::uint64_t done, std::uint64_t total) override
    {
        fileProgress.emplace_back(done, total);
    }

    void showRunProgress(std::size_t filesDone, std::size_t filesTotal, std::uint64_t bytesDone,
                         std::uint64_t bytesTotal) override
    {
        const std::lock_guard lock(runProgressMutex);
        runProgress.push_back({filesDone, filesTotal, bytesDone, bytesTotal});
    }
    void showRunStatus(const std::string& text) override
    {
        const std::lock_guard lock(runProgressMutex);
        runStatuses.push_back(text);
    }

    std::string localFolder() const override { return folder; }
    std::size_t localFileCount() const override { return localFiles.size(); }
    std::vector<std::string> selectedLocalFiles() const override { return selectedFiles; }
    void refreshLocalFiles() override { ++refreshes; }
    std::string viewerFolder() override { return copyFolder; }
    void openViewer(const std::string& path, const std::string& title) override
    {
        viewed.push_back(path);
        viewerTitles.push_back(title);
    }

    // Makes the line showing text current and the only selected one.
    void pick(const std::string& text)
    {
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (lines[i] == text) {
                currentLine = static_cast<int>(i);
                selectedLines = {currentLine};
                return;
            }
        }
        throw std::invalid_argument("no line " + text);
    }
};

} // namespace vantiro::test
