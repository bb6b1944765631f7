#include "cli/UploadSync.h"

#include "cli/FtpCommandSupport.h"
#include "cli/TerminalText.h"
#include "platform/FileDigest.h"
#include "platform/FtpRemotePath.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace vantiro {
namespace {

constexpr unsigned long noSuchFile = 550;

const char* modeOf(TransferType type)
{
    return type == TransferType::Ascii ? "ascii" : "binary";
}

} // namespace

UploadSync::UploadSync(std::string command, bool deleteMissing)
    : command_(std::move(command)), deleteMissing_(deleteMissing)
{
}

UploadSync::~UploadSync()
{
    if (!scratchFolder_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(scratchFolder_, ignored);
    }
}

std::string UploadSync::scratchFile(const std::string& name)
{
    if (scratchFolder_.empty()) {
        // A folder of its own: no other user can plant or read the lists there.
        std::string pattern =
            (std::filesystem::temp_directory_path() / "vantiro-sync-XXXXXX").string();
        if (mkdtemp(pattern.data()))
            scratchFolder_ = pattern;
    }
    return scratchFolder_.empty() ? std::string() : scratchFolder_ + "/" + name;
}

std::optional<std::vector<std::string>>
UploadSync::plan(FtpClient& client, const std::string& localFolder, const std::string& remoteFolder,
                 TransferType type, const std::vector<std::string>& names)
{
    const std::string local = scratchFile("read-" + std::to_string(folders_.size()));
    if (local.empty()) {
        std::fprintf(stderr, "vantiro-cli %s: Kein temporärer Ordner für die Liste\n",
                     command_.c_str());
        return std::nullopt;
    }
    const std::string remote = FtpRemotePath::join(remoteFolder, UploadManifest::fileName);
    // The list comes from the server: one that grows past the bound is no list of this tool.
    bool tooLarge = false;
    client.setProgress([&](std::uint64_t done, std::uint64_t) {
        if (done > UploadManifest::largestSize && !tooLarge) {
            tooLarge = true;
            client.cancel();
        }
    });
    const bool fetched = client.getFile(remote, local, false, TransferType::Binary);
    client.setProgress(nullptr);
    UploadManifest previous;
    if (fetched) {
        std::ifstream in(local, std::ios::binary);
        std::string text;
        text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        tooLarge = tooLarge || text.size() > UploadManifest::largestSize;
        previous = UploadManifest::parse(text);
        std::filesystem::remove(local);
    }
    if (tooLarge || (!fetched && client.lastResponse().code != noSuchFile)) {
        const std::string reason =
            tooLarge ? "größer als 16 MB" : FtpCommandSupport::describe(client.lastResponse());
        std::fprintf(stderr, "vantiro-cli %s: Liste der gesendeten Dateien %s nicht lesbar: %s\n",
                     command_.c_str(), TerminalText::escape(remote).c_str(), reason.c_str());
        return std::nullopt;
    }

    std::vector<LocalFile> files;
    for (const std::string& name : names) {
        const std::optional<std::string> digest =
            FileDigest::sha256OfFile(localFolder + "/" + name);
        if (!digest) {
            std::fprintf(stderr, "vantiro-cli %s: %s nicht lesbar\n", command_.c_str(),
                         TerminalText::escape(localFolder + "/" + name).c_str());
            return std::nullopt;
        }
        files.push_back({name, *digest});
    }
    Folder folder{remoteFolder, SyncPlan(files, previous, modeOf(type), deleteMissing_),
                  previous,     fetched,
                  {},           {}};
    std::vector<std::string> toSend = folder.plan->toSend();
    const std::lock_guard lock(mutex_);
    folders_.push_back(std::move(folder));
    return toSend;
}

bool UploadSync::foundList(const std::string& remoteFolder) const
{
    const std::lock_guard lock(mutex_);
    for (const Folder& folder : folders_)
        if (folder.remote == remoteFolder)
            return folder.found;
    return false;
}

void UploadSync::sent(const std::string& remoteFolder, const std::string& name, bool arrived)
{
    const std::lock_guard lock(mutex_);
    for (Folder& folder : folders_)
        if (folder.remote == remoteFolder)
            (arrived ? folder.arrived : folder.failed).insert(name);
}

void UploadSync::printSummary() const
{
    std::size_t unchanged = 0, toSend = 0, toDelete = 0;
    for (const Folder& folder : folders_) {
        unchanged += folder.plan->unchanged();
        toSend += folder.plan->toSend().size();
        toDelete += folder.plan->toDelete().size();
    }
    std::fprintf(stderr, "vantiro-cli %s: %zu Dateien unverändert, %zu zu senden, %zu zu löschen\n",
                 command_.c_str(), unchanged, toSend, toDelete);
    std::fflush(stderr);
}

void UploadSync::printDeletes() const
{
    for (const Folder& folder : folders_)
        for (const std::string& name : folder.plan->toDelete())
            std::printf("löschen %s\n",
                        TerminalText::escape(FtpRemotePath::join(folder.remote, name)).c_str());
    std::fflush(stdout);
}

bool UploadSync::finish(FtpClient& client)
{
    bool allDone = true;
    for (Folder& folder : folders_) {
        std::set<std::string> deleted;
        for (const std::string& name : folder.plan->toDelete()) {
            const std::string remote = FtpRemotePath::join(folder.remote, name);
            // Already gone is as good as deleted.
            const bool gone = client.deleteFile(remote) || client.lastResponse().code == noSuchFile;
            if (gone)
                deleted.insert(name);
            allDone = allDone && gone;
            const std::string line = std::string(gone ? "ok     " : "FEHLER ") + "löschen " +
                                     TerminalText::escape(remote);
            std::printf("%s%s\n", line.c_str(),
                        gone ? ""
                             : (": " + FtpCommandSupport::describe(client.lastResponse())).c_str());
        }
        std::fflush(stdout);
        const UploadManifest outcome = folder.plan->outcome(folder.arrived, folder.failed, deleted);
        // Nothing changed: the list there is still right, and the run saves its round trips. A
        // folder that never had a file of the tool (perhaps not even made) needs no list.
        if (outcome == folder.previous ||
            (outcome.entries().empty() && folder.previous.entries().empty()))
            continue;
        if (!writeManifest(client, folder.remote, outcome)) {
            std::fprintf(
                stderr,
                "vantiro-cli %s: Liste der gesendeten Dateien in %s nicht geschrieben: %s\n",
                command_.c_str(), TerminalText::escape(folder.remote).c_str(),
                FtpCommandSupport::describe(client.lastResponse()).c_str());
            allDone = false;
        }
    }
    return allDone;
}

bool UploadSync::writeManifest(FtpClient& client, const std::string& remoteFolder,
                               const UploadManifest& manifest)
{
    const std::string local = scratchFile("write");
    {
        std::ofstream out(local, std::ios::binary | std::ios::trunc);
        out << manifest.serialise();
        if (!out.flush())
            return false;
    }
    const std::string temporary = FtpRemotePath::join(remoteFolder, UploadManifest::temporaryName);
    const std::string final = FtpRemotePath::join(remoteFolder, UploadManifest::fileName);
    // Through a second name, so that a broken run never leaves half a list; a server that will
    // not rename onto an existing name (SFTP version 3) gets the old list removed first.
    const bool written = client.putFile(local, temporary, TransferType::Binary) &&
                         (client.renameFile(temporary, final) ||
                          (client.deleteFile(final) && client.renameFile(temporary, final)));
    std::filesystem::remove(local);
    return written;
}

} // namespace vantiro
