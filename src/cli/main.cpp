#include "cli/GenerateCommand.h"
#include "cli/KeywordsCommand.h"
#include "cli/ListCommand.h"
#include "cli/UploadCommand.h"

#include <clocale>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const char* const usage =
    "Usage:\n"
    "  vantiro-cli generate --keywords FILE [--home DIR] [--pages TEXT] [--numbered]\n"
    "      [--text-links] [--body FILE] [--head FILE] [--doctype TEXT] [--title TEXT]\n"
    "      [--description TEXT] [--author TEXT] [--robots TEXT] [--revisit TEXT]\n"
    "      [--pragma TEXT] [--caching TEXT] [--background COLOUR] [--text-color COLOUR]\n"
    "      [--link-color COLOUR] [--font TEXT] [--seed N]\n"
    "  vantiro-cli keywords [--home DIR] TEXT\n"
    "  vantiro-cli upload --server [SCHEME://]HOST[:PORT] --user NAME [--remote DIR] [--binary]\n"
    "      [--home DIR] [--fingerprint SHA256:...]   (password from VANTIRO_FTP_PASSWORD)\n"
    "  vantiro-cli list --server [SCHEME://]HOST[:PORT] --user NAME [--remote DIR]\n"
    "      [--filter PATTERN] [--fingerprint SHA256:...]   (password from VANTIRO_FTP_PASSWORD)\n"
    "  SCHEME: ftp, ftpes (TLS required), ftps (implicit TLS, port 990), sftp (port 22);\n"
    "      without one TLS is used when the server offers it\n";

} // namespace

int main(int argc, char** argv)
{
    // Page counts are read with the decimal separator of the user's locale.
    std::setlocale(LC_ALL, "");
    const std::vector<std::string> args(argv + 1, argv + argc);
    const std::string command = args.empty() ? "" : args.front();
    const std::vector<std::string> rest(args.begin() + (args.empty() ? 0 : 1), args.end());

    if (command == "generate")
        return vantiro::runGenerateCommand(rest);
    if (command == "keywords")
        return vantiro::runKeywordsCommand(rest);
    if (command == "upload")
        return vantiro::runUploadCommand(rest);
    if (command == "list")
        return vantiro::runListCommand(rest);
    if (command == "help" || command == "--help" || command == "-h") {
        std::fputs(usage, stdout);
        return 0;
    }
    std::fputs(usage, stderr);
    return 2;
}
