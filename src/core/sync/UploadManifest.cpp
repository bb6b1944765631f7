#include "core/sync/UploadManifest.h"

namespace vantiro {
namespace {

constexpr std::string_view header = "vantiro-sync 1 ";
constexpr std::size_t digestLength = 64;

} // namespace

const std::string UploadManifest::unknownDigest(digestLength, '0');

UploadManifest UploadManifest::parse(std::string_view text)
{
    if (text.size() > largestSize)
        return {};
    UploadManifest manifest;
    bool first = true;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        if (first) {
            first = false;
            const std::string_view mode =
                line.starts_with(header) ? line.substr(header.size()) : std::string_view();
            if (mode != "ascii" && mode != "binary")
                return {};
            manifest.mode_ = std::string(mode);
            continue;
        }
        if (line.size() <= digestLength + 1 || line[digestLength] != ' ')
            continue;
        const std::optional<std::string> digest = normalisedDigest(line.substr(0, digestLength));
        const std::string_view name = line.substr(digestLength + 1);
        if (digest && acceptableName(name))
            manifest.entries_[std::string(name)] = *digest;
    }
    return manifest;
}

std::string UploadManifest::serialise() const
{
    std::string text = std::string(header) + mode_ + "\n";
    for (const auto& [name, digest] : entries_)
        text += digest + " " + name + "\n";
    return text;
}

bool UploadManifest::acceptableName(std::string_view name)
{
    if (name.empty() || name.starts_with('.'))
        return false;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == '/' || c == '\\')
            return false;
    }
    return true;
}

std::optional<std::string> UploadManifest::normalisedDigest(std::string_view digest)
{
    if (digest.size() != digestLength)
        return std::nullopt;
    std::string lower(digest);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'F')
            c = static_cast<char>(c - 'A' + 'a');
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return std::nullopt;
    }
    return lower;
}

const std::string* UploadManifest::digestOf(const std::string& name) const
{
    const auto found = entries_.find(name);
    return found == entries_.end() ? nullptr : &found->second;
}

} // namespace vantiro
