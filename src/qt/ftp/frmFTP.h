#pragma once

#include "core/ftp/FtpSession.h"
#include "core/ftp/FtpView.h"
#include "qt/ftp/FtpWindowUi.h"

#include <QDialog>
#include <QString>

class QAbstractButton;

namespace vantiro {

class MessageBoxes;
class Shell;

// The FTP window: a modal dialog over the main window. It gathers what the user typed and
// chose, hands it to its FtpSession and shows what the session reports.
class frmFTP final : public QDialog, public FtpView {
    Q_OBJECT
public:
    frmFTP(MessageBoxes& boxes, Shell& shell, FtpClientFactory factory, QString programFolder,
           QWidget* parent = nullptr);
    ~frmFTP() override;

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
    void SetStatus(const std::string& text) override;
    void setLocation(const std::string& text) override;
    void setServerLines(const std::vector<std::string>& lines) override;
    int currentServerLine() const override;
    std::vector<int> selectedServerLines() const override;
    void setDetails(const std::string& changed, const std::string& size,
                    const std::string& attributes) override;
    void SetConnectedState() override;
    void SetDisconnectedState() override;
    void showMessage(const std::string& text) override;
    std::optional<std::string> askInput(const std::string& title, const std::string& prompt,
                                        const std::string& preset) override;
    void setBusy(bool busy) override;
    void processEvents() override;
    void showProgress(std::size_t done, std::size_t total) override;
    std::string localFolder() const override;
    std::size_t localFileCount() const override;
    std::vector<std::string> selectedLocalFiles() const override;
    void refreshLocalFiles() override;
    void openViewer(const std::string& path) override;

public slots:
    // Closing waits for a running transfer to stop after its current file.
    void done(int result) override;

private:
    void connectHandlers();
    template <typename Handler> void onClick(QAbstractButton* button, Handler handler);
    void showDisclaimer();
    void folderChanged();
    void fileClicked();

    MessageBoxes& boxes_;
    Shell& shell_;
    QString programFolder_;
    FtpWindowUi ui_;
    FtpSession session_;
    int busyDepth_ = 0;
    bool closePending_ = false;
};

} // namespace vantiro
