#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace vantiro {

// What this tool last uploaded into one remote folder: each file's name as it went on the wire
// and the SHA-256 of the local bytes it sent, and how it sent them (a page sent as ASCII arrives
// with other line ends than one sent as binary). It lives in that folder as a text file:
//
//     vantiro-sync 1 ascii
//     <64 hex digits> <name>
//
// The file comes from the server, so parsing trusts nothing: lines that do not fit are skipped,
// and names that could reach outside the folder or are not the tool's own are refused.
class UploadManifest final {
public:
    // Web servers refuse to serve names beginning with ".ht" (Apache by default), and the tool
    // never sends a name beginning with a dot, so the list cannot clash with a page.
    static constexpr const char* fileName = ".htvantiro-sync";
    static constexpr const char* temporaryName = ".htvantiro-sync.tmp";
    // A larger file is no list this tool wrote (2001 entries take about 150 KB).
    static constexpr std::size_t largestSize = 16 * 1024 * 1024;
    // Stands for a file whose upload failed after it had been sent before: what the server now
    // holds is unknown, so the next run sends it, and it still counts as the tool's own.
    static const std::string unknownDigest;

    UploadManifest() = default;
    explicit UploadManifest(std::string mode) : mode_(std::move(mode)) {}

    // An unreadable header yields an empty list: nothing is skipped, nothing deleted.
    static UploadManifest parse(std::string_view text);
    std::string serialise() const;

    // A bare name the tool may have sent: no path, no control character, no leading dot.
    static bool acceptableName(std::string_view name);
    // 64 hex digits; returns them in lower case.
    static std::optional<std::string> normalisedDigest(std::string_view digest);

    // "ascii" or "binary": how the files were sent.
    const std::string& mode() const { return mode_; }
    const std::map<std::string, std::string>& entries() const { return entries_; }
    const std::string* digestOf(const std::string& name) const;
    void set(const std::string& name, const std::string& digest) { entries_[name] = digest; }

    bool operator==(const UploadManifest&) const = default;

private:
    std::string mode_;
    std::map<std::string, std::string> entries_;
};

} // namespace vantiro
