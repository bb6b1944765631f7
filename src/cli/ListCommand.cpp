#include "cli/ListCommand.h"

#include "cli/CliSupport.h"
#include "cli/CommandLine.h"
#include "cli/FtpCommandSupport.h"
#include "cli/TerminalText.h"
#include "core/ftp/RemoteListing.h"

#include <cstdio>

namespace vantiro {
namespace {

const std::string command = "list";

int failed(const char* what, const FtpClient& client)
{
    std::fprintf(stderr, "vantiro-cli list: %s: %s\n", what,
                 FtpCommandSupport::describe(client.lastResponse()).c_str());
    return 2;
}

} // namespace

int runListCommand(const std::vector<std::string>& args)
{
    const CommandLine line(
        args, {"--server", "--user", "--fingerprint", "--remote", "--filter", "--home"}, {});
    if (!FtpCommandSupport::checkArguments(command, line, args))
        return 2;
    // The same program folder as upload's, so that one command line serves both.
    if (!programFolderFor(line))
        return 2;

    const std::unique_ptr<FtpClient> connection = FtpCommandSupport::makeClient(line);
    FtpClient& client = *connection;
    if (!FtpCommandSupport::login(client, command, line))
        return 2;
    if (!client.setCurrentDirectory(line.valueOr("--remote", "/")))
        return failed("Ordner auf dem Server nicht verfügbar", client);
    RemoteListing listing;
    if (!listing.readCurrentFolder(client, line.valueOr("--filter", "*.*")))
        return failed("Ordner kann nicht gelesen werden", client);
    listing.sortListing();
    for (const std::string& text : listing.displayLines())
        std::printf("%s\n", TerminalText::escape(text).c_str());
    if (listing.leftOut() > 0)
        std::fprintf(stderr,
                     "vantiro-cli list: Verzeichnis gekürzt: nur die ersten %zu Einträge werden "
                     "gezeigt, %zu fehlen\n",
                     RemoteListing::maxEntries, listing.leftOut());
    client.close();
    return 0;
}

} // namespace vantiro
