#include "platform/UploadStream.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace vantiro {

UploadStream::UploadStream(const std::string& path, TransferType type, TransferProgress progress)
    : file_(path), ascii_(type == TransferType::Ascii), progress_(std::move(progress))
{
}

ssize_t UploadStream::readFile(char* buffer, std::size_t capacity)
{
    const ssize_t count = file_.read(buffer, capacity);
    failed_ = count < 0;
    if (count > 0) {
        read_ += static_cast<std::uint64_t>(count);
        if (progress_)
            progress_(read_, file_.size());
    }
    return count;
}

ssize_t UploadStream::read(char* buffer, std::size_t capacity)
{
    if (!ascii_)
        return readFile(buffer, capacity);
    while (sent_ == pending_.size()) {
        char chunk[16384];
        const ssize_t count = readFile(chunk, sizeof chunk);
        if (count <= 0)
            return count;
        pending_.clear();
        sent_ = 0;
        lineEnds_.convert({chunk, static_cast<std::size_t>(count)}, pending_);
    }
    const std::size_t count = std::min(capacity, pending_.size() - sent_);
    std::memcpy(buffer, pending_.data() + sent_, count);
    sent_ += count;
    return static_cast<ssize_t>(count);
}

void UploadStream::rewind()
{
    file_.rewind();
    lineEnds_ = AsciiLineEnds(AsciiLineEnds::Direction::ToNetwork);
    pending_.clear();
    sent_ = 0;
    read_ = 0;
}

} // namespace vantiro
