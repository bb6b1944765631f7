#pragma once

#include "core/ftp/FtpView.h"
#include "core/ftp/StatusLine.h"

#include <atomic>
#include <cstddef>
#include <string>

namespace vantiro {

// Marks a running UP or DOWN and keeps the progress display, which it hides again at the end.
// While it runs, the status line says which file of how many is under way; the steps for each
// file show only what goes wrong.
class TransferLoop final {
public:
    // running and stopRequested are the session's marks of a run and of DISCONNECT during it.
    // verb is what the run does to each file, in Windows-1252 ("Lade").
    TransferLoop(FtpView& view, StatusLine& status, bool& running, std::atomic<bool>& stopRequested,
                 std::size_t total, std::string verb);
    ~TransferLoop();
    TransferLoop(const TransferLoop&) = delete;
    TransferLoop& operator=(const TransferLoop&) = delete;

    // For a run on several connections, before its first file: the status line names the run
    // as a whole for all its time; the progress bar counts its files, which the connections keep
    // up to date from their own threads.
    void beginRun(std::size_t connections);

    // Before each file. A name in UTF-8 makes the whole text UTF-8, so that it shows as it is
    // named; any other name goes with the Windows-1252 words.
    void beginFile(const std::string& name);

    // After each file: progress, pending events, and whether to go on. False after a request to
    // stop; the caller then ends the handler (see FtpSession::requestStop).
    [[nodiscard]] bool fileDone();

private:
    FtpView& view_;
    StatusLine& status_;
    bool& running_;
    std::atomic<bool>& stopRequested_;
    std::size_t total_;
    std::string verb_;
    std::size_t done_ = 0;
};

} // namespace vantiro
