#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>

namespace vantiro {

// Drives one libcurl easy handle at a time through a multi handle of its own, for one FTP
// connection. libcurl's blocking perform sleeps a full second whenever a reply is already
// buffered or a data connection is still being set up, as it then waits on no socket at all.
// This loop performs again at once while libcurl makes progress, watches the cancel flag, and
// ends a call that moves too few bytes.
//
// The easy handle's debug callback reports traffic through noteTraffic(); that is what the
// stall limit counts.
class CurlMultiLoop final {
public:
    // Results the loop ends a call with itself, beside libcurl's own codes.
    static constexpr int cancelledResult = -1;
    static constexpr int stalledResult = -2;

    CurlMultiLoop() = default;
    ~CurlMultiLoop();
    CurlMultiLoop(const CurlMultiLoop&) = delete;
    CurlMultiLoop& operator=(const CurlMultiLoop&) = delete;

    // A fresh multi handle; false when libcurl cannot make one.
    bool open();
    void close();

    // Runs curl (a CURL*) to its end: libcurl's result, or one of the results above. A call that
    // moves fewer than stallBytes within stallTime ends with stalledResult.
    int run(void* curl, std::uint64_t stallBytes, std::chrono::milliseconds stallTime);

    // From any thread: ends the running call, or makes consumeCancel() true before the next.
    void cancel();
    // True, once, when cancel() came while no call was running.
    bool consumeCancel() { return cancelRequested_.exchange(false); }

    // Called from the easy handle's debug callback with the bytes that passed.
    void noteTraffic(std::size_t bytes)
    {
        activity_ = true;
        bytesMoved_ += bytes;
    }

private:
    void* multi_ = nullptr; // CURLM*
    std::mutex mutex_;      // guards multi_ for cancel() from another thread
    std::atomic<bool> cancelRequested_{false};
    std::uint64_t bytesMoved_ = 0;
    bool activity_ = false;
};

} // namespace vantiro
