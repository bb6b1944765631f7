#include "platform/TrustedKeyStore.h"

#include "core/files/AtomicFile.h"
#include "platform/ProgramFolder.h"

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <vector>

namespace vantiro {
namespace {

std::string serverKey(HostKeyQuestion::Kind kind, const std::string& host, int port)
{
    std::string lowered = host;
    for (char& c : lowered)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    const bool ipv6 = lowered.find(':') != std::string::npos;
    return std::string(kind == HostKeyQuestion::Kind::Tls ? "tls " : "ssh ") +
           (ipv6 ? "[" + lowered + "]" : lowered) + ":" + std::to_string(port);
}

std::vector<std::string> readLines(const std::string& path)
{
    std::vector<std::string> lines;
    std::ifstream file(path);
    std::string line;
    while (std::getline(file, line)) {
        // A file edited on Windows ends its lines in CR LF; the CR is no part of a fingerprint.
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            lines.push_back(line);
    }
    return lines;
}

// Creates the missing levels of folder, private to the user like ~/.ssh.
bool makeFolders(const std::string& folder)
{
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string level = folder.substr(0, slash);
        if (mkdir(level.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
        if (slash == std::string::npos)
            return true;
    }
}

} // namespace

std::string TrustedKeyStore::defaultPath()
{
    // Without a home of its own the program keeps no keys: a fallback such as the working folder
    // or /tmp could hold a file somebody else put there.
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string folder;
    if (config && config[0] == '/')
        folder = config;
    else if (const std::string home = ProgramFolder::homeFolder(); !home.empty())
        folder = home + "/.config";
    else
        return {};
    return folder + "/vantiro/trusted_keys";
}

std::optional<std::string> TrustedKeyStore::find(HostKeyQuestion::Kind kind,
                                                 const std::string& host, int port) const
{
    const std::string key = serverKey(kind, host, port) + " ";
    for (const std::string& line : readLines(path_))
        if (line.compare(0, key.size(), key) == 0)
            return line.substr(key.size());
    return std::nullopt;
}

bool TrustedKeyStore::remember(HostKeyQuestion::Kind kind, const std::string& host, int port,
                               const std::string& fingerprint) const
{
    const std::string key = serverKey(kind, host, port);
    std::ostringstream text;
    for (const std::string& line : readLines(path_))
        if (line.compare(0, key.size() + 1, key + " ") != 0)
            text << line << '\n';
    text << key << ' ' << fingerprint << '\n';

    const std::size_t slash = path_.rfind('/');
    if (slash != std::string::npos && slash > 0 && !makeFolders(path_.substr(0, slash)))
        return false;
    // Written through to the disk: a crash must not leave the user's accepted keys half gone.
    const std::string content = text.str();
    AtomicFile file(path_);
    return file.open() && file.write(content) && file.commit(AtomicFile::Placement::Replace, true);
}

} // namespace vantiro
