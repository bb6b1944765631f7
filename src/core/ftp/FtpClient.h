#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vantiro {

// A moment as the server reports it (UTC), broken down like the platform's SYSTEMTIME.
struct FtpTime {
    int year = 0;
    int month = 0;     // 1 to 12
    int day = 0;       // 1 to 31
    int dayOfWeek = 0; // 0 Sunday to 6 Saturday
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// One entry of a remote folder: the fields of the platform's find record that the window uses.
struct FtpEntry {
    static constexpr std::uint32_t readOnlyAttribute = 1;
    static constexpr std::uint32_t directoryAttribute = 16;
    static constexpr std::uint32_t normalAttribute = 128;

    std::uint32_t attributes = 0; // 16 for a folder, 128 (+1 when read-only) for a file
    FtpTime lastWrite;
    std::uint64_t size = 0;
    std::string name; // the bytes the server sent
};

// The outcome of the last operation: code 0 means success; otherwise an error code and the
// server's last response text (possibly several lines), never containing the password.
struct FtpResponse {
    unsigned long code = 0;
    std::string text;

    // Codes above the server's reply codes: failures where no server reply says what went wrong.
    // Every client gives the same code for the same failure (12000 plus libcurl's number).
    static constexpr unsigned long timeoutCode = 12002;
    static constexpr unsigned long hostNotFoundCode = 12006;
    static constexpr unsigned long noConnectionCode = 12007;
    static constexpr unsigned long untrustedCode = 12060;
    static constexpr unsigned long noTlsCode = 12064;
};

enum class TransferType { Binary = 0, Ascii = 1 };

// Bytes of the file being transferred so far, and its size when known (else 0). Called on the
// thread that runs the transfer.
using TransferProgress = std::function<void(std::uint64_t done, std::uint64_t total)>;

// The FTP operations the uploader is written against. One object is one connection: a login
// that is reused by every later call until close(). Names are bare names in the current folder.
class FtpClient {
public:
    virtual ~FtpClient() = default;

    // server is "host" (port 21) or "host:port". True once the login has succeeded.
    virtual bool connect(const std::string& server, const std::string& user,
                         const std::string& password, bool passive) = 0;
    virtual void close() = 0;
    // False once the connection is closed or the server has dropped it.
    virtual bool connected() const = 0;

    virtual bool setCurrentDirectory(const std::string& path) = 0;
    // Entries of the current folder whose names match pattern (wildcardMatch), in server order.
    virtual bool findFiles(const std::string& pattern, std::vector<FtpEntry>& entries) = 0;
    // Never leaves a partial local file; with failIfExists an existing file is left alone.
    virtual bool getFile(const std::string& remoteName, const std::string& localPath,
                         bool failIfExists, TransferType type) = 0;
    virtual bool putFile(const std::string& localPath, const std::string& remoteName,
                         TransferType type) = 0;
    virtual bool deleteFile(const std::string& name) = 0;
    virtual bool removeDirectory(const std::string& name) = 0;
    virtual bool createDirectory(const std::string& name) = 0;
    virtual bool renameFile(const std::string& from, const std::string& to) = 0;

    virtual FtpResponse lastResponse() const = 0;

    // --- for a window that runs the calls on another thread, and for long-lived connections ---

    // Asks the running call (or, if none runs, the next one) to stop as soon as it can; that call
    // then fails with cancelledCode. Safe to call from any thread while another thread is inside
    // a call. A request that comes before the call has begun is kept for it, so a window may
    // cancel a connect the moment it has asked for one.
    static constexpr unsigned long cancelledCode = 12017;
    virtual void cancel() {}

    // Receives the byte progress of getFile() and putFile(). Set it before the call.
    virtual void setProgress(TransferProgress progress) { (void)progress; }

    // Keeps an idle connection alive (a NOOP when it has been quiet for a while). Call it every
    // few seconds while the user does nothing; it returns at once when nothing is due.
    virtual void keepAlive() {}

    // Notes for the status line gathered since the last call of this function, oldest first:
    // how the connection is secured, that it was logged in again, and the like.
    virtual std::vector<std::string> takeNotices() { return {}; }
};

} // namespace vantiro
