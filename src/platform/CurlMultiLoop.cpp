#include "platform/CurlMultiLoop.h"

#include <curl/curl.h>

#include <algorithm>
#include <sys/select.h>

namespace vantiro {
namespace {

// The longest wait in the loop, so that cancel() and the stall limit are noticed soon.
constexpr long longestWaitMilliseconds = 100;

} // namespace

CurlMultiLoop::~CurlMultiLoop()
{
    close();
}

bool CurlMultiLoop::open()
{
    close();
    const std::lock_guard lock(mutex_);
    multi_ = curl_multi_init();
    return multi_ != nullptr;
}

void CurlMultiLoop::close()
{
    const std::lock_guard lock(mutex_);
    if (multi_)
        curl_multi_cleanup(static_cast<CURLM*>(multi_));
    multi_ = nullptr;
}

void CurlMultiLoop::cancel()
{
    cancelRequested_ = true;
    const std::lock_guard lock(mutex_);
    if (multi_)
        curl_multi_wakeup(static_cast<CURLM*>(multi_));
}

// libcurl's own blocking loop waits up to a second on its poll whenever libcurl watches no
// socket, as between reading a buffered passive-mode reply and opening the data connection.
// Here the loop performs again at once while anything moved, and waits on the sockets only
// when libcurl really waits for them.
int CurlMultiLoop::run(void* handle, std::uint64_t stallBytes, std::chrono::milliseconds stallTime)
{
    auto* multi = static_cast<CURLM*>(multi_);
    CURL* curl = static_cast<CURL*>(handle);
    if (!multi || curl_multi_add_handle(multi, curl) != CURLM_OK)
        return CURLE_FAILED_INIT;
    int result = CURLE_OK;
    auto windowStart = std::chrono::steady_clock::now();
    std::uint64_t windowBytes = bytesMoved_;
    int quietRounds = 0;
    for (;;) {
        activity_ = false;
        int running = 0;
        curl_multi_perform(multi, &running);
        bool done = false;
        int queued = 0;
        while (CURLMsg* message = curl_multi_info_read(multi, &queued)) {
            if (message->msg == CURLMSG_DONE) {
                result = message->data.result;
                done = true;
            }
        }
        if (done || running == 0)
            break;
        if (cancelRequested_.exchange(false)) {
            result = cancelledResult;
            break;
        }
        const auto now = std::chrono::steady_clock::now();
        if (bytesMoved_ - windowBytes >= stallBytes) {
            windowStart = now;
            windowBytes = bytesMoved_;
        } else if (now - windowStart >= stallTime) {
            result = stalledResult;
            break;
        }
        if (activity_) {
            quietRounds = 0;
            continue;
        }
        fd_set readable, writable, failed;
        FD_ZERO(&readable);
        FD_ZERO(&writable);
        FD_ZERO(&failed);
        int highestSocket = -1;
        curl_multi_fdset(multi, &readable, &writable, &failed, &highestSocket);
        long wait = longestWaitMilliseconds;
        if (highestSocket < 0) {
            wait = quietRounds++ < 16 ? 0 : 1;
        } else {
            long due = -1;
            curl_multi_timeout(multi, &due);
            if (due >= 0)
                wait = std::min(wait, due);
        }
        curl_multi_poll(multi, nullptr, 0, static_cast<int>(wait), nullptr);
    }
    curl_multi_remove_handle(multi, curl);
    return result;
}

} // namespace vantiro
