#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vantiro {

// SHA-256 in 64 lower-case hex digits, as the upload's list of sent files keeps it.
class FileDigest final {
public:
    static std::string sha256(std::string_view bytes);
    // The digest of a file's bytes; std::nullopt when it cannot be read.
    static std::optional<std::string> sha256OfFile(const std::string& path);
};

} // namespace vantiro
