#pragma once

#include "core/ftp/FtpClient.h"
#include "core/ftp/FtpView.h"

#include <cstddef>
#include <string>
#include <vector>

namespace vantiro {

// The window's status line during one handler: the text of the step under way, followed by the
// client's notes (a new login, a refused connection) for the rest of the handler.
class StatusLine final {
public:
    explicit StatusLine(FtpView& view) : view_(view) {}
    StatusLine(const StatusLine&) = delete;
    StatusLine& operator=(const StatusLine&) = delete;

    // A handler starts without the notes of the last one.
    void beginHandler() { notices_.clear(); }
    // Notes that came with the handler's last call are shown with its last status.
    void endHandler();

    void show(const std::string& text);
    // Takes the client's notes; how the connection is secured goes to its own place.
    void takeNotices(FtpClient& client);
    void addNotice(std::string notice) { notices_.push_back(std::move(notice)); }

    // What a running UP or DOWN does now; empty otherwise.
    const std::string& runStatus() const { return runStatus_; }
    void setRunStatus(std::string text) { runStatus_ = std::move(text); }

private:
    FtpView& view_;
    std::vector<std::string> notices_;
    std::string lastStatus_;
    std::string runStatus_;
    std::size_t noticesShown_ = 0;
};

} // namespace vantiro
