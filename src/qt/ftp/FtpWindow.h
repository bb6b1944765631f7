#pragma once

#include "core/ftp/FtpSession.h"
#include "core/ftp/FtpView.h"
#include "qt/ftp/FtpWindowUi.h"

#include <QDialog>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <atomic>
#include <memory>
#include <mutex>

class QAbstractButton;
class QTemporaryDir;

namespace vantiro {

class MessageBoxes;

// The FTP window: a modal dialog over the main window. It gathers what the user typed and
// chose, hands it to its FtpSession and shows what the session reports. The session's calls to
// the server run on a worker thread while the window goes on repainting; meanwhile only
// DISCONNECT (which cancels the call) and EXIT act.
class FtpWindow final : public QDialog, public FtpView {
    Q_OBJECT
public:
    FtpWindow(MessageBoxes& boxes, FtpClientFactory factory, QString programFolder,
              QWidget* parent = nullptr);
    ~FtpWindow() override;

    // Every opening starts afresh and shows the disclaimer before the window.
    int exec() override;
    // The steps of an opening up to showing the window.
    void prepareOpening();

    const FtpWindowUi& ui() const { return ui_; }
    FtpWindowUi& ui() { return ui_; }

    std::string serverText() const override;
    std::string userText() const override;
    std::string passwordText() const override;
    std::string filterText() const override;
    bool passiveChecked() const override;
    void setStatus(const std::string& text) override;
    void setSecurity(const std::string& text) override;
    void setLocation(const std::string& text) override;
    void setServerLines(const std::vector<std::string>& lines) override;
    int currentServerLine() const override;
    std::vector<int> selectedServerLines() const override;
    void setDetails(const std::string& changed, const std::string& size,
                    const std::string& attributes) override;
    void setConnectedState() override;
    void setDisconnectedState() override;
    void showMessage(const std::string& text) override;
    std::optional<std::string> askInput(const std::string& title, const std::string& prompt,
                                        const std::string& preset) override;
    void setBusy(bool busy) override;
    void processEvents() override;
    void runCall(const std::function<void()>& call) override;
    void showProgress(std::size_t done, std::size_t total) override;
    void showFileProgress(std::uint64_t done, std::uint64_t total) override;
    void showRunProgress(std::size_t filesDone, std::size_t filesTotal, std::uint64_t bytesDone,
                         std::uint64_t bytesTotal) override;
    void showRunStatus(const std::string& text) override;
    std::string localFolder() const override;
    std::size_t localFileCount() const override;
    std::vector<std::string> selectedLocalFiles() const override;
    void refreshLocalFiles() override;
    std::string viewerFolder() override;
    void openViewer(const std::string& path, const std::string& title) override;

    // How often an idle connection is kept alive.
    static constexpr int keepAliveMilliseconds = 5000;
    // A keep-alive that answers within this time leaves the buttons as they are.
    static constexpr int quietCallMilliseconds = 300;

public slots:
    // Closing during a call cancels it, disconnects, and then closes.
    void done(int result) override;

protected:
    // Escape does not close the window (and with it the connection); Enter acts only in the
    // password field (connect) and the filter field (refresh).
    void keyPressEvent(QKeyEvent* event) override;
    // Enter on a line of the server list opens it as a double click does.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void connectHandlers();
    template <typename Handler> void onClick(QAbstractButton* button, Handler handler);
    // Runs a handler of the session; a close asked for while it ran follows afterwards.
    template <typename Handler> void run(Handler handler);
    void clickIfEnabled(QAbstractButton* button);
    void holdButtons();
    QWidget* windowFocus() const;
    void releaseButtons();
    void takeFileProgress();
    void updateProgressBar();
    void removeViewerFolder();
    void showDisclaimer();
    void folderChanged();
    void fileClicked();

    MessageBoxes& boxes_;
    QString programFolder_;
    FtpWindowUi ui_;
    FtpSession session_;
    int busyDepth_ = 0;
    // Handlers of the session under way (one runs at a time; the others return at once).
    int handlerDepth_ = 0;
    // The keep-alive disables the buttons only once it takes noticeably long.
    bool quietCall_ = false;
    bool buttonsHeld_ = false;
    QPointer<QWidget> focusBeforeHold_;
    QPointer<QWidget> focusAfterHold_;
    bool closePending_ = false;
    QTimer keepAlive_;
    std::unique_ptr<QTemporaryDir> viewerFolder_;

    std::size_t filesDone_ = 0;
    std::size_t filesTotal_ = 0;
    std::uint64_t bytesDone_ = 0;
    std::uint64_t bytesTotal_ = 0;
    // Byte progress arrives on the worker thread; the latest figures wait here for the window.
    std::atomic<std::uint64_t> pendingBytesDone_{0};
    std::atomic<std::uint64_t> pendingBytesTotal_{0};
    std::atomic<bool> progressPosted_{false};
    // A run over several connections: the bar shows the bytes of the whole run.
    bool runBytes_ = false;
    struct RunFigures {
        std::size_t filesDone = 0;
        std::size_t filesTotal = 0;
        std::uint64_t bytesDone = 0;
        std::uint64_t bytesTotal = 0;
    };
    std::mutex runMutex_;
    RunFigures pendingRun_;
    std::atomic<bool> runPosted_{false};
    std::string pendingRunStatus_;
    std::atomic<bool> runStatusPosted_{false};
    void takeRunProgress();
    void takeRunStatus();
};

} // namespace vantiro
