#include "core/ftp/TransferLoop.h"

#include "core/ftp/RemoteName.h"
#include "core/text/Cp1252.h"
#include "core/text/Cp1252Literal.h"

#include <algorithm>
#include <utility>

namespace vantiro {

TransferLoop::TransferLoop(FtpView& view, StatusLine& status, bool& running,
                           std::atomic<bool>& stopRequested, std::size_t total, std::string verb)
    : view_(view), status_(status), running_(running), stopRequested_(stopRequested), total_(total),
      verb_(std::move(verb))
{
    running_ = true;
    stopRequested_ = false;
    view_.showProgress(0, total_);
}

TransferLoop::~TransferLoop()
{
    running_ = false;
    status_.setRunStatus("");
    view_.showFileProgress(0, 0);
    view_.showProgress(0, 0);
    view_.showRunProgress(0, 0, 0, 0);
    view_.showRunStatus("");
}

void TransferLoop::beginRun(std::size_t connections)
{
    status_.setRunStatus(verb_ + " " + std::to_string(total_) + " Dateien über "_cp1252 +
                         std::to_string(connections) + " Verbindungen...");
    status_.show(status_.runStatus());
}

void TransferLoop::beginFile(const std::string& name)
{
    std::string text =
        verb_ + " Datei " + std::to_string(done_ + 1) + " von " + std::to_string(total_) + ": ";
    const bool plain = std::all_of(name.begin(), name.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (!plain && isUtf8(name))
        text = Cp1252::toUtf8(text);
    status_.setRunStatus(text + name);
    status_.show(status_.runStatus());
}

bool TransferLoop::fileDone()
{
    view_.showFileProgress(0, 0);
    view_.showProgress(++done_, total_);
    view_.processEvents();
    return !stopRequested_;
}

} // namespace vantiro
