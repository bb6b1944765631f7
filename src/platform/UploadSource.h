#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <sys/types.h>

namespace vantiro {

// A local file to upload: opened only when it is a regular file (a pipe would hold the upload
// for ever), read with retries after signals, and closed at the end.
class UploadSource final {
public:
    explicit UploadSource(std::string path);
    ~UploadSource();
    UploadSource(const UploadSource&) = delete;
    UploadSource& operator=(const UploadSource&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    std::uint64_t size() const { return size_; }
    // Bytes read into buffer, 0 at the end, -1 on a read error.
    ssize_t read(char* buffer, std::size_t capacity);
    // Back to the first byte, for a file sent again after a new login.
    void rewind();
    // "Die lokale Datei kann nicht gelesen werden: PATH", for a failed open or read.
    std::string failureText() const;

private:
    std::string path_;
    int fd_ = -1;
    std::uint64_t size_ = 0;
};

} // namespace vantiro
