#include "platform/DownloadTarget.h"

namespace vantiro {

DownloadTarget::DownloadTarget(std::string path) : file_(std::move(path)) {}

DownloadTarget::~DownloadTarget() = default;

bool DownloadTarget::open()
{
    return file_.open();
}

bool DownloadTarget::write(const char* data, std::size_t size)
{
    return file_.write(std::string_view(data, size));
}

bool DownloadTarget::commit(bool failIfExists)
{
    // A download is written through to the disk before it takes the place of the name.
    return file_.commit(
        failIfExists ? AtomicFile::Placement::KeepExisting : AtomicFile::Placement::Replace, true);
}

} // namespace vantiro
