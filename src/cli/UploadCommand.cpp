#include "cli/UploadCommand.h"

#include "cli/CliSupport.h"
#include "cli/CommandLine.h"
#include "cli/FtpCommandSupport.h"
#include "core/session/WorkFolders.h"
#include "platform/FtpRemotePath.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace vantiro {
namespace {

const std::string command = "upload";

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

class Upload final {
public:
    Upload(FtpClient& client, std::string programFolder)
        : client_(client), programFolder_(std::move(programFolder))
    {
    }

    // Every file of the local folder into the remote folder; false when one did not arrive.
    bool sendFolder(const char* localFolder, const std::string& remoteFolder, TransferType type)
    {
        const std::vector<std::string> names =
            filesToSend(WorkFolders::path(programFolder_, localFolder));
        if (names.empty())
            return true;
        const std::string remote = FtpRemotePath::resolve("/", remoteFolder);
        if (!enterFolder(client_, remote)) {
            std::fprintf(stderr, "vantiro-cli upload: remote folder %s not available: %s\n",
                         FtpCommandSupport::terminalText(remote).c_str(),
                         FtpCommandSupport::describe(client_.lastResponse()).c_str());
            for (const std::string& name : names)
                report(false, localFolder, name, remote);
            return false;
        }
        bool allSent = true;
        for (const std::string& name : names) {
            const std::string local = WorkFolders::path(programFolder_, localFolder) + "/" + name;
            const bool sent = client_.putFile(local, name, type);
            report(sent, localFolder, name, remote);
            allSent = allSent && sent;
        }
        return allSent;
    }

private:
    void report(bool sent, const char* localFolder, const std::string& name,
                const std::string& remoteFolder) const
    {
        const std::string line = std::string(sent ? "ok     " : "FEHLER ") + localFolder + "/" +
                                 name + " -> " + FtpRemotePath::join(remoteFolder, name);
        if (sent)
            std::printf("%s\n", FtpCommandSupport::terminalText(line).c_str());
        else
            std::printf("%s: %s\n", FtpCommandSupport::terminalText(line).c_str(),
                        FtpCommandSupport::describe(client_.lastResponse()).c_str());
        std::fflush(stdout);
    }

    FtpClient& client_;
    std::string programFolder_;
};

} // namespace

int runUploadCommand(const std::vector<std::string>& args)
{
    const CommandLine line(args, {"--server", "--user", "--fingerprint", "--remote", "--home"},
                           {"--binary"});
    if (!FtpCommandSupport::checkArguments(command, line, args))
        return 1;
    const std::optional<std::string> home = ProgramFolderFor(line);
    if (!home)
        return 1;

    const std::unique_ptr<FtpClient> connection = FtpCommandSupport::makeClient(line);
    FtpClient& client = *connection;
    if (!FtpCommandSupport::login(client, command, line))
        return 2;
    const std::string remote = FtpRemotePath::resolve("/", line.valueOr("--remote", "/"));
    Upload upload(client, *home);
    const TransferType pageType =
        line.flag("--binary") ? TransferType::Binary : TransferType::Ascii;
    bool allSent = upload.sendFolder(WorkFolders::doorpages, remote, pageType);
    // Images are binary files whatever the pages are sent as: an ASCII transfer would put a CR
    // before every byte that happens to be an LF and break them.
    allSent = upload.sendFolder(WorkFolders::images, FtpRemotePath::join(remote, "images"),
                                TransferType::Binary) &&
              allSent;
    client.close();
    return allSent ? 0 : 1;
}

} // namespace vantiro
