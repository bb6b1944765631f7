#pragma once

#include "core/ftp/FtpClient.h"
#include "platform/AsciiLineEnds.h"
#include "platform/UploadSource.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <sys/types.h>

namespace vantiro {

// What an upload sends of a local file: its bytes, or in type A its lines with CR LF ends.
// Reports the local bytes read through the progress callback.
class UploadStream final {
public:
    UploadStream(const std::string& path, TransferType type, TransferProgress progress);
    UploadStream(const UploadStream&) = delete;
    UploadStream& operator=(const UploadStream&) = delete;

    bool isOpen() const { return file_.isOpen(); }
    // The local size; the bytes sent in type A may differ.
    std::uint64_t size() const { return file_.size(); }
    bool ascii() const { return ascii_; }
    // Bytes put into buffer, 0 at the end, -1 on a read error.
    ssize_t read(char* buffer, std::size_t capacity);
    // True after a read error.
    bool failed() const { return failed_; }
    // From the first byte again, for a file sent again after a new login.
    void rewind();
    std::string failureText() const { return file_.failureText(); }

private:
    ssize_t readFile(char* buffer, std::size_t capacity);

    UploadSource file_;
    bool ascii_;
    TransferProgress progress_;
    AsciiLineEnds lineEnds_{AsciiLineEnds::Direction::ToNetwork};
    std::string pending_;
    std::size_t sent_ = 0;
    std::uint64_t read_ = 0;
    bool failed_ = false;
};

} // namespace vantiro
