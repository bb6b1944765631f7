#pragma once

#include "core/sync/UploadManifest.h"

#include <set>
#include <string>
#include <vector>

namespace vantiro {

// One local file of a run: its name as it goes on the wire and the SHA-256 of its bytes.
struct LocalFile {
    std::string name;
    std::string digest;
};

// What a run with --sync does in one remote folder, against the list the last run left there:
// send every file whose bytes (or way of sending) differ from what was sent, and with --delete
// remove the listed files that the local folder no longer holds. Only listed files are ever
// deleted, so files of the site that the tool did not send stay.
class SyncPlan final {
public:
    SyncPlan(const std::vector<LocalFile>& local, UploadManifest previous, std::string mode,
             bool deleteMissing);

    // In the order of the local files.
    const std::vector<std::string>& toSend() const { return toSend_; }
    // Sorted by name.
    const std::vector<std::string>& toDelete() const { return toDelete_; }
    std::size_t unchanged() const { return unchanged_; }

    // The list to leave in the folder after the run. A file that arrived is listed with its
    // digest; one whose upload failed keeps being listed (with an unknown digest) only when it
    // was listed before; one the run never got to keeps its old entry, which still describes
    // what the server holds. A deleted file leaves the list; one that could not be deleted stays.
    UploadManifest outcome(const std::set<std::string>& arrived,
                           const std::set<std::string>& failed,
                           const std::set<std::string>& deleted) const;

private:
    UploadManifest previous_;
    std::string mode_;
    std::vector<LocalFile> local_;
    std::vector<std::string> toSend_;
    std::vector<std::string> toDelete_;
    std::size_t unchanged_ = 0;
};

} // namespace vantiro
