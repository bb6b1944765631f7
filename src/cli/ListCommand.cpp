#include "cli/ListCommand.h"

#include "cli/CommandLine.h"
#include "cli/FtpCommandSupport.h"
#include "core/ftp/RemoteListing.h"

#include <cstdio>

namespace vantiro {
namespace {

const std::string command = "list";

int failed(const char* what, const FtpClient& client)
{
    std::fprintf(stderr, "vantiro-cli list: %s: %s\n", what,
                 FtpCommandSupport::describe(client.lastResponse()).c_str());
    return 1;
}

} // namespace

int runListCommand(const std::vector<std::string>& args)
{
    const CommandLine line(args, {"--server", "--user", "--fingerprint", "--remote", "--filter"},
                           {});
    if (!FtpCommandSupport::checkArguments(command, line, args))
        return 1;

    const std::unique_ptr<FtpClient> connection = FtpCommandSupport::makeClient(line);
    FtpClient& client = *connection;
    if (!FtpCommandSupport::login(client, command, line))
        return 2;
    if (!client.setCurrentDirectory(line.valueOr("--remote", "/")))
        return failed("remote folder not available", client);
    RemoteListing listing;
    if (!listing.ReadCurrentFolder(client, line.valueOr("--filter", "*.*")))
        return failed("the folder cannot be read", client);
    listing.SortListing();
    for (const std::string& text : listing.Lines())
        std::printf("%s\n", FtpCommandSupport::terminalText(text).c_str());
    client.close();
    return 0;
}

} // namespace vantiro
