#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace vantiro {

// What the FTP session needs of its window. Texts for display are bytes: the session's own
// texts in Windows-1252, names and server responses as the server sent them; the window shows
// a text as UTF-8 when it is valid UTF-8 and as Windows-1252 otherwise. Typed texts come back
// as UTF-8, the encoding remote names are sent in. Local paths and file names are file-system
// bytes.
class FtpView {
public:
    virtual ~FtpView() = default;

    virtual std::string serverText() const = 0;
    virtual std::string userText() const = 0;
    virtual std::string passwordText() const = 0;
    virtual std::string filterText() const = 0;
    virtual bool passiveChecked() const = 0;

    // Shown at once, before the blocking call that usually follows.
    virtual void SetStatus(const std::string& text) = 0;
    virtual void setLocation(const std::string& text) = 0;
    virtual void setServerLines(const std::vector<std::string>& lines) = 0;
    // The line that has the focus, -1 when there is none.
    virtual int currentServerLine() const = 0;
    // Selected line numbers in ascending order.
    virtual std::vector<int> selectedServerLines() const = 0;
    virtual void setDetails(const std::string& changed, const std::string& size,
                            const std::string& attributes) = 0;

    virtual void SetConnectedState() = 0;
    virtual void SetDisconnectedState() = 0;

    // A box with an OK button, no icon and the application's title.
    virtual void showMessage(const std::string& text) = 0;
    // std::nullopt when the box was cancelled.
    virtual std::optional<std::string> askInput(const std::string& title, const std::string& prompt,
                                                const std::string& preset) = 0;

    // Busy pointer on and off; calls nest.
    virtual void setBusy(bool busy) = 0;
    // Lets pending window events through between two files of a transfer.
    virtual void processEvents() = 0;
    // Files done of files to do; a total of 0 hides the display.
    virtual void showProgress(std::size_t done, std::size_t total) = 0;

    virtual std::string localFolder() const = 0;
    virtual std::size_t localFileCount() const = 0;
    virtual std::vector<std::string> selectedLocalFiles() const = 0;
    virtual void refreshLocalFiles() = 0;
    // Opens a local file for reading in a separate program, without waiting for it.
    virtual void openViewer(const std::string& path) = 0;
};

} // namespace vantiro
