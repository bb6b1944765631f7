#include "platform/DownloadTarget.h"

#include "core/text/Cp1252Literal.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <sys/statvfs.h>

namespace vantiro {
namespace {

constexpr std::uint64_t minimumReserve = 100ULL * 1000 * 1000;
// The disk is looked at again after this many bytes; a download never comes closer to the
// reserve than that.
constexpr std::uint64_t checkEvery = 1024 * 1024;

std::optional<DownloadTarget::Space> statvfsSpace(const std::string& folder)
{
    struct statvfs info = {};
    if (statvfs(folder.c_str(), &info) != 0)
        return std::nullopt;
    return DownloadTarget::Space{static_cast<std::uint64_t>(info.f_blocks) * info.f_frsize,
                                 static_cast<std::uint64_t>(info.f_bavail) * info.f_frsize};
}

std::mutex probeMutex;
DownloadTarget::SpaceProbe& probe()
{
    static DownloadTarget::SpaceProbe current;
    return current;
}

std::optional<DownloadTarget::Space> spaceOf(const std::string& folder)
{
    DownloadTarget::SpaceProbe copy;
    {
        const std::lock_guard lock(probeMutex);
        copy = probe();
    }
    return copy ? copy(folder) : statvfsSpace(folder);
}

} // namespace

DownloadTarget::DownloadTarget(std::string path) : file_(path)
{
    const std::size_t slash = path.rfind('/');
    folder_ = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

DownloadTarget::~DownloadTarget() = default;

DownloadTarget::SpaceProbe DownloadTarget::setSpaceProbe(SpaceProbe replacement)
{
    const std::lock_guard lock(probeMutex);
    SpaceProbe previous = std::move(probe());
    probe() = std::move(replacement);
    return previous;
}

std::uint64_t DownloadTarget::reserveFor(const Space& space)
{
    return std::max(space.total / 100, minimumReserve);
}

bool DownloadTarget::open()
{
    return file_.open();
}

bool DownloadTarget::write(const char* data, std::size_t size)
{
    if (!roomFor(size))
        return false;
    return file_.write(std::string_view(data, size));
}

bool DownloadTarget::roomFor(std::size_t size)
{
    sinceCheck_ += size;
    if (checked_ && sinceCheck_ < checkEvery)
        return true;
    checked_ = true;
    sinceCheck_ = 0;
    const auto space = spaceOf(folder_);
    if (!space ||
        space->available >= reserveFor(*space) + std::max<std::uint64_t>(size, checkEvery))
        return true;
    lowSpace_ = true;
    return false;
}

bool DownloadTarget::commit(bool failIfExists)
{
    // A download is written through to the disk before it takes the place of the name.
    return file_.commit(
        failIfExists ? AtomicFile::Placement::KeepExisting : AtomicFile::Placement::Replace, true);
}

std::string DownloadTarget::failureText() const
{
    if (lowSpace_)
        return "Download abgebrochen: Auf dem lokalen Datenträger bliebe weniger als 1 % (mindestens 100 MB) Speicherplatz frei"_cp1252;
    if (file_.error() == EEXIST)
        return "Die lokale Datei existiert bereits";
    return "Die lokale Datei kann nicht geschrieben werden: " +
           std::string(std::strerror(file_.error()));
}

} // namespace vantiro
