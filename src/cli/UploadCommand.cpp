#include "cli/UploadCommand.h"

#include "cli/CliSupport.h"
#include "cli/CommandLine.h"
#include "cli/FtpCommandSupport.h"
#include "cli/HelperConnections.h"
#include "cli/InterruptStop.h"
#include "cli/TerminalText.h"
#include "cli/UploadSync.h"
#include "core/ftp/ReconnectSchedule.h"
#include "core/session/WorkFolders.h"
#include "platform/FtpRemotePath.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <mutex>

namespace vantiro {
namespace {

const std::string command = "upload";
constexpr int mostConnections = 8;
// Over a distant link every file costs round trips; several connections hide them.
constexpr int defaultConnections = 4;

// Visible plain files of a folder, by name, so that every run sends them in the same order.
std::vector<std::string> filesToSend(const std::string& folder)
{
    namespace fs = std::filesystem;
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (!name.starts_with('.') && entry.is_regular_file(error))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Makes path the current folder, creating the levels that are missing from the top down.
bool enterFolder(FtpClient& client, const std::string& path)
{
    const std::string target = FtpRemotePath::resolve("/", path);
    if (client.setCurrentDirectory(target))
        return true;
    std::string reached = "/";
    if (!client.setCurrentDirectory(reached))
        return false;
    for (size_t begin = 1; begin < target.size();) {
        const size_t end = std::min(target.find('/', begin), target.size());
        const std::string name = target.substr(begin, end - begin);
        const std::string next = FtpRemotePath::join(reached, name);
        if (!client.setCurrentDirectory(next) &&
            !(client.createDirectory(name) && client.setCurrentDirectory(next)))
            return false;
        reached = next;
        begin = end + 1;
    }
    return true;
}

// "--parallel N": defaultConnections when not given, std::nullopt when it is no whole number from 1
// to 8.
std::optional<int> connectionCount(const CommandLine& line)
{
    const std::optional<std::string> text = line.value("--parallel");
    if (!text)
        return defaultConnections;
    if (text->empty() || text->size() > 1 || (*text)[0] < '1' || (*text)[0] > '0' + mostConnections)
        return std::nullopt;
    return (*text)[0] - '0';
}

// One local folder and where its files go.
struct Folder {
    const char* localFolder;
    std::string remoteFolder;
    TransferType type;
    std::vector<std::string> names;
};

struct File {
    const Folder* folder;
    std::string name;
};

// Prints one line per file as it ends, whichever connection sent it.
class Report final {
public:
    explicit Report(UploadSync* sync) : sync_(sync) {}

    void file(bool sent, const File& file, const FtpClient& client)
    {
        if (sync_)
            sync_->sent(file.folder->remoteFolder, file.name, sent);
        const std::string line = std::string(sent ? "ok     " : "FEHLER ") +
                                 file.folder->localFolder + "/" + file.name + " -> " +
                                 FtpRemotePath::join(file.folder->remoteFolder, file.name);
        const std::string reason =
            sent ? std::string() : ": " + FtpCommandSupport::describe(client.lastResponse());
        const std::lock_guard lock(mutex_);
        std::printf("%s%s\n", TerminalText::escape(line).c_str(), reason.c_str());
        std::fflush(stdout);
        allSent_ = allSent_ && sent;
    }

    bool allSent() const { return allSent_; }

private:
    UploadSync* sync_;
    std::mutex mutex_;
    bool allSent_ = true;
};

class Upload final {
public:
    Upload(std::string programFolder, std::vector<File> files, Report& report,
           const CommandLine& line)
        : programFolder_(std::move(programFolder)), files_(std::move(files)), report_(report),
          line_(line)
    {
    }

    // Takes the next file not yet taken by any connection until none is left.
    void sendOn(FtpClient& client)
    {
        for (size_t index = next_++; index < files_.size(); index = next_++) {
            if (InterruptStop::requested())
                return;
            const File& file = files_[index];
            report_.file(send(client, file), file, client);
        }
    }

private:
    // A dropped or stalled connection is logged in again after growing pauses and the file
    // sent again; only when the last try fails does the file count as failed.
    bool send(FtpClient& client, const File& file)
    {
        const std::string local =
            WorkFolders::path(programFolder_, file.folder->localFolder) + "/" + file.name;
        // The full remote path: the connections need no folder changes of their own.
        const std::string remote = FtpRemotePath::join(file.folder->remoteFolder, file.name);
        for (int attempt = 1;; ++attempt) {
            if (client.putFile(local, remote, file.folder->type))
                return true;
            // A refusal of this file leaves the connection as it was; a connection that broke,
            // or that the client gave up because replies no longer matched, is tried again.
            const bool broken =
                ReconnectSchedule::isConnectionFailure(client.lastResponse().code) ||
                !client.connected();
            if (attempt > ReconnectSchedule::attempts || !broken)
                return false;
            const std::chrono::milliseconds pause =
                ReconnectSchedule::pauseBefore(attempt, ReconnectSchedule::randomJitter());
            // The text is plain ASCII, the same in Windows-1252 and UTF-8.
            std::fprintf(stderr, "vantiro-cli upload: %s\n",
                         ReconnectSchedule::statusText(attempt, pause).c_str());
            std::this_thread::sleep_for(pause);
            // A login that fails now shows at the next try of the file.
            FtpCommandSupport::connect(client, line_);
        }
    }

    std::string programFolder_;
    std::vector<File> files_;
    Report& report_;
    const CommandLine& line_;
    std::atomic<size_t> next_{0};
};

} // namespace

int runUploadCommand(const std::vector<std::string>& args)
{
    const CommandLine line(
        args, {"--server", "--user", "--fingerprint", "--remote", "--home", "--parallel"},
        {"--binary", "--sync", "--delete", "--dry-run"});
    if (!FtpCommandSupport::checkArguments(command, line, args))
        return 2;
    const std::optional<int> connections = connectionCount(line);
    if (!connections) {
        return usageError(command, "--parallel erwartet eine ganze Zahl von 1 bis " +
                                       std::to_string(mostConnections));
    }
    const bool syncing = line.flag("--sync");
    const bool dryRun = line.flag("--dry-run");
    if (line.flag("--delete") && !syncing)
        return usageError(command, "--delete geht nur zusammen mit --sync");
    const std::optional<std::string> home = programFolderFor(line);
    if (!home)
        return 2;

    const std::string remote = FtpRemotePath::resolve("/", line.valueOr("--remote", "/"));
    const TransferType pageType =
        line.flag("--binary") ? TransferType::Binary : TransferType::Ascii;
    // Images are binary files whatever the pages are sent as: an ASCII transfer would put a CR
    // before every byte that happens to be an LF and break them.
    std::vector<Folder> folders = {
        {WorkFolders::doorpages, remote, pageType, {}},
        {WorkFolders::images, FtpRemotePath::join(remote, "images"), TransferType::Binary, {}}};
    size_t fileCount = 0;
    for (Folder& folder : folders) {
        folder.names = filesToSend(WorkFolders::path(*home, folder.localFolder));
        fileCount += folder.names.size();
    }
    if (fileCount == 0) {
        std::fprintf(
            stderr, "vantiro-cli upload: Nichts zu senden: %s enthält keine Seiten\n",
            TerminalText::escape(WorkFolders::path(*home, WorkFolders::doorpages)).c_str());
        return 2;
    }

    const std::unique_ptr<FtpClient> firstConnection = FtpCommandSupport::makeClient(line);
    FtpClient& first = *firstConnection;
    if (!FtpCommandSupport::login(first, command, line))
        return 2;
    // The further connections log in while the first one makes the folders; with --sync they
    // wait for the plan, which says how many files go.
    std::optional<HelperConnections> helpers;
    const auto startHelpers = [&](size_t files) {
        if (!dryRun)
            helpers.emplace(line, static_cast<int>(std::min<size_t>(*connections, files)) - 1,
                            command);
    };
    if (!syncing)
        startHelpers(fileCount);

    // Every folder exists before any file is sent into it, whichever connection sends it.
    UploadSync sync(command, line.flag("--delete"));
    Report report(syncing ? &sync : nullptr);
    std::vector<File> files;
    for (Folder& folder : folders) {
        // An emptied local folder still has its list of files to delete.
        if (folder.names.empty() && !syncing)
            continue;
        if (syncing) {
            std::optional<std::vector<std::string>> toSend =
                sync.plan(first, WorkFolders::path(*home, folder.localFolder), folder.remoteFolder,
                          folder.type, folder.names);
            if (!toSend)
                return 2;
            folder.names = std::move(*toSend);
        }
        // A folder that holds a list exists already: over a distant link every command counts.
        if (!dryRun && !folder.names.empty() && !(syncing && sync.foundList(folder.remoteFolder)) &&
            !enterFolder(first, folder.remoteFolder)) {
            std::fprintf(stderr, "vantiro-cli upload: Zielordner %s nicht verfügbar: %s\n",
                         TerminalText::escape(folder.remoteFolder).c_str(),
                         FtpCommandSupport::describe(first.lastResponse()).c_str());
            // Without the target folder nothing at all can go: one message, and nothing was done.
            if (&folder == &folders.front() || files.empty()) {
                first.close();
                return 2;
            }
            for (const std::string& name : folder.names)
                report.file(false, File{&folder, name}, first);
            continue;
        }
        for (const std::string& name : folder.names)
            files.push_back(File{&folder, name});
    }
    if (syncing)
        sync.printSummary();
    if (dryRun) {
        for (const File& file : files)
            std::printf("senden %s\n",
                        TerminalText::escape(
                            std::string(file.folder->localFolder) + "/" + file.name + " -> " +
                            FtpRemotePath::join(file.folder->remoteFolder, file.name))
                            .c_str());
        sync.printDeletes();
        first.close();
        return 0;
    }
    if (syncing) {
        InterruptStop::install();
        startHelpers(files.size());
    }

    Upload upload(*home, std::move(files), report, line);
    if (helpers)
        helpers->start([&upload](FtpClient& client) { upload.sendOn(client); });
    upload.sendOn(first);
    if (helpers)
        helpers->join();
    const bool stopped = InterruptStop::requested();
    if (stopped)
        std::fprintf(stderr,
                     "vantiro-cli upload: Abgebrochen; nicht alle Dateien wurden gesendet\n");
    const bool finished = !syncing || sync.finish(first);
    first.close();
    return report.allSent() && finished && !stopped ? 0 : 1;
}

} // namespace vantiro
