#include "core/generator/modGeneral.h"

#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>

namespace vantiro {
namespace {

char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool isKeptFileNameChar(unsigned char c)
{
    return c == '.' || c == '_' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') ||
           (c >= 'a' && c <= 'z');
}

bool isVisibleRegularFile(const std::string& path, std::string_view name)
{
    struct stat info = {};
    return !name.empty() && name.front() != '.' && stat(path.c_str(), &info) == 0 &&
           S_ISREG(info.st_mode);
}

bool matchFrom(std::string_view pattern, std::string_view name)
{
    size_t p = 0, n = 0, starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        // A star in the pattern is always a wildcard, also where the name holds a "*" itself.
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == '?' || lowerAscii(pattern[p]) == lowerAscii(name[n]))) {
            ++p;
            ++n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

} // namespace

std::string_view Trim(std::string_view text)
{
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool FolderExists(const std::string& path)
{
    struct stat info = {};
    return !path.empty() && stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool CreateFolder(const std::string& path)
{
    return mkdir(path.c_str(), 0777) == 0 || (errno == EEXIST && FolderExists(path));
}

bool WildcardMatch(std::string_view pattern, std::string_view name)
{
    // "*.*" is the classic "every file" pattern and also matches names without a dot.
    if (pattern.empty() || pattern == "*.*")
        return true;
    if (pattern.size() > 2 && pattern.substr(pattern.size() - 2) == ".*" &&
        name.find('.') == std::string_view::npos)
        return matchFrom(pattern.substr(0, pattern.size() - 2), name);
    return matchFrom(pattern, name);
}

bool FileExists(const std::string& path)
{
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
    const std::string last = slash == std::string::npos ? path : path.substr(slash + 1);
    if (last.find_first_of("*?") == std::string::npos)
        return isVisibleRegularFile(path, last);

    DIR* dir = opendir(folder.empty() ? "/" : folder.c_str());
    if (!dir)
        return false;
    bool found = false;
    while (const dirent* entry = readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (WildcardMatch(last, name) && isVisibleRegularFile(folder + "/" + entry->d_name, name)) {
            found = true;
            break;
        }
    }
    closedir(dir);
    return found;
}

std::string SanitizeFileName(std::string_view name)
{
    std::string cleaned;
    cleaned.reserve(name.size());
    for (char c : Trim(name)) {
        if (c == ' ')
            cleaned += '_';
        else if (isKeptFileNameChar(static_cast<unsigned char>(c)))
            cleaned += c;
    }
    return cleaned;
}

} // namespace vantiro
