#pragma once

#include "core/ftp/FtpClient.h"
#include "core/sync/SyncPlan.h"

#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace vantiro {

// upload --sync: in every remote folder the list of files this tool sent there
// (UploadManifest) is read before anything is sent and replaced after the run, so that a later
// run sends only what changed and --delete removes only files the tool sent itself.
class UploadSync final {
public:
    UploadSync(std::string command, bool deleteMissing);
    UploadSync(const UploadSync&) = delete;
    UploadSync& operator=(const UploadSync&) = delete;
    ~UploadSync();

    // Reads the list of remoteFolder (none there: an empty one) and the digests of the local
    // files, and returns the names to send. std::nullopt when the list or a local file cannot be
    // read; the reason is then on stderr.
    std::optional<std::vector<std::string>> plan(FtpClient& client, const std::string& localFolder,
                                                 const std::string& remoteFolder, TransferType type,
                                                 const std::vector<std::string>& names);
    // True when plan() found a list in remoteFolder, which therefore exists.
    bool foundList(const std::string& remoteFolder) const;
    // How a file of a planned folder ended; safe from every connection's thread.
    void sent(const std::string& remoteFolder, const std::string& name, bool arrived);

    // "vantiro-cli upload: 199 Dateien unverändert, 2 zu senden, 1 zu löschen" on stderr.
    void printSummary() const;
    // The "löschen /alt.htm" lines of a --dry-run on stdout.
    void printDeletes() const;
    // Deletes what the plans say and writes every folder's new list, one line per deleted file
    // on stdout. False when a delete or a list failed (reported).
    bool finish(FtpClient& client);

private:
    struct Folder {
        std::string remote;
        std::optional<SyncPlan> plan;
        UploadManifest previous;
        bool found = false;
        std::set<std::string> arrived;
        std::set<std::string> failed;
    };

    bool writeManifest(FtpClient& client, const std::string& remoteFolder,
                       const UploadManifest& manifest);
    std::string scratchFile(const std::string& name);

    std::string command_;
    bool deleteMissing_ = false;
    std::string scratchFolder_;
    mutable std::mutex mutex_;
    std::vector<Folder> folders_;
};

} // namespace vantiro
