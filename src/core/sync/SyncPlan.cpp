#include "core/sync/SyncPlan.h"

namespace vantiro {

SyncPlan::SyncPlan(const std::vector<LocalFile>& local, UploadManifest previous, std::string mode,
                   bool deleteMissing)
    : previous_(std::move(previous)), mode_(std::move(mode)), local_(local)
{
    // Sent another way, the same bytes arrived differently: every file goes again.
    const bool sameMode = previous_.mode() == mode_;
    std::set<std::string> localNames;
    for (const LocalFile& file : local_) {
        localNames.insert(file.name);
        const std::string* digest = previous_.digestOf(file.name);
        if (sameMode && digest && *digest == file.digest &&
            file.digest != UploadManifest::unknownDigest)
            ++unchanged_;
        else
            toSend_.push_back(file.name);
    }
    if (!deleteMissing)
        return;
    for (const auto& [name, digest] : previous_.entries())
        if (!localNames.contains(name))
            toDelete_.push_back(name);
}

UploadManifest SyncPlan::outcome(const std::set<std::string>& arrived,
                                 const std::set<std::string>& failed,
                                 const std::set<std::string>& deleted) const
{
    UploadManifest result(mode_);
    // Entries of another way of sending no longer say what the server holds in this one.
    const bool sameMode = previous_.mode() == mode_;
    for (const auto& [name, digest] : previous_.entries())
        if (!deleted.contains(name))
            result.set(name, sameMode ? digest : UploadManifest::unknownDigest);
    for (const LocalFile& file : local_) {
        // A name the list cannot hold (a line break in it could forge an entry) is never listed.
        if (!UploadManifest::acceptableName(file.name))
            continue;
        if (arrived.contains(file.name))
            result.set(file.name, file.digest);
        else if (failed.contains(file.name) && previous_.digestOf(file.name))
            result.set(file.name, UploadManifest::unknownDigest);
    }
    return result;
}

} // namespace vantiro
