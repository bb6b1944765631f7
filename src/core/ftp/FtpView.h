#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vantiro {

// What the FTP session needs of its window. Texts for display are bytes: the session's own
// texts in Windows-1252, names and server responses as the server sent them; the window shows
// a text as UTF-8 when it is valid UTF-8 and as Windows-1252 otherwise (the lines of the
// listing are display text in UTF-8 already). Typed texts come back
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
    virtual void setStatus(const std::string& text) = 0;
    // How the connection is secured, shown beside the status line until it is replaced or
    // emptied; empty when not connected.
    virtual void setSecurity(const std::string& text) = 0;
    virtual void setLocation(const std::string& text) = 0;
    virtual void setServerLines(const std::vector<std::string>& lines) = 0;
    // The line that has the focus, -1 when there is none.
    virtual int currentServerLine() const = 0;
    // Selected line numbers in ascending order.
    virtual std::vector<int> selectedServerLines() const = 0;
    virtual void setDetails(const std::string& changed, const std::string& size,
                            const std::string& attributes) = 0;

    virtual void setConnectedState() = 0;
    virtual void setDisconnectedState() = 0;

    // A box with an OK button, no icon and the application's title.
    virtual void showMessage(const std::string& text) = 0;
    // std::nullopt when the box was cancelled.
    virtual std::optional<std::string> askInput(const std::string& title, const std::string& prompt,
                                                const std::string& preset) = 0;

    // Busy pointer on and off; calls nest.
    virtual void setBusy(bool busy) = 0;
    // Lets pending window events through between two files of a transfer.
    virtual void processEvents() = 0;
    // Runs one blocking call of the FTP client and returns when it has returned. The window runs
    // it on another thread and keeps repainting and handling input meanwhile (handlers called
    // then find the session running); a test may simply call it.
    virtual void runCall(const std::function<void()>& call) = 0;
    // Files done of files to do; a total of 0 hides the display.
    virtual void showProgress(std::size_t done, std::size_t total) = 0;
    // Bytes of the current file done, and its size (0 when unknown). Called on the thread that
    // runs the call, often: the window passes it on to its own thread.
    virtual void showFileProgress(std::uint64_t done, std::uint64_t total) = 0;
    // A run over several connections: files done of all, and bytes done of all its bytes. Called
    // from the threads of the run's connections, at once and often; the window passes the latest
    // figures on to its own thread. All zero hides the display.
    virtual void showRunProgress(std::size_t filesDone, std::size_t filesTotal,
                                 std::uint64_t bytesDone, std::uint64_t bytesTotal) = 0;
    // The status line during such a run, from the same threads; the window shows the latest
    // text on its own thread. An empty text, given at the end of the run, drops one still
    // waiting to be shown.
    virtual void showRunStatus(const std::string& text) = 0;

    virtual std::string localFolder() const = 0;
    virtual std::size_t localFileCount() const = 0;
    virtual std::vector<std::string> selectedLocalFiles() const = 0;
    virtual void refreshLocalFiles() = 0;
    // A folder of this user alone for the copies SHOW/OPEN fetches; removed when the window is
    // done with it. Empty when none can be made.
    virtual std::string viewerFolder() = 0;
    // Shows a local copy as read-only text in a viewer window of the program, without waiting
    // for it; title is the remote name. Never hands the file to another program.
    virtual void openViewer(const std::string& path, const std::string& title) = 0;
};

} // namespace vantiro
