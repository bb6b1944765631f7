#pragma once

#include <string>
#include <string_view>

namespace vantiro {

// Absolute remote paths as the client keeps them: "/" for the top folder, otherwise "/a/b"
// without a trailing "/".
class FtpRemotePath final {
public:
    // path resolved against the absolute folder current: "." and ".." are worked out by the
    // text alone, and ".." never leads above "/".
    static std::string resolve(std::string_view current, std::string_view path);

    // name inside folder, as given: an absolute name stays as it is, and "." or ".." are left
    // for the server to judge.
    static std::string join(std::string_view folder, std::string_view name);

    // The path part of an ftp:// URL for an absolute path: "%2F" first, so that the server takes
    // the path from its top folder and not from the folder the login landed in, then every
    // segment percent-encoded on its own. A folder URL ends in "/".
    static std::string urlPath(std::string_view absolutePath, bool folder);

    // Every byte outside the unreserved URL characters becomes %XX.
    static std::string percentEncode(std::string_view segment);
};

} // namespace vantiro
