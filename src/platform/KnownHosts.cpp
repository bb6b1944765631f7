#include "platform/KnownHosts.h"

#include <openssl/evp.h>
#include <openssl/hmac.h>

#include <algorithm>
#include <fstream>
#include <optional>
#include <sstream>

namespace vantiro {
namespace {

std::optional<std::string> decodeBase64(std::string_view text)
{
    if (text.empty() || text.size() % 4 != 0)
        return std::nullopt;
    std::string out(text.size() / 4 * 3, '\0');
    const int length = EVP_DecodeBlock(reinterpret_cast<unsigned char*>(out.data()),
                                       reinterpret_cast<const unsigned char*>(text.data()),
                                       static_cast<int>(text.size()));
    if (length < 0)
        return std::nullopt;
    std::size_t padding = 0;
    while (padding < 2 && text[text.size() - 1 - padding] == '=')
        ++padding;
    out.resize(static_cast<std::size_t>(length) - padding);
    return out;
}

// OpenSSH's match_pattern: "*" for any run of characters, "?" for one.
bool wildcard(std::string_view pattern, std::string_view text)
{
    std::size_t p = 0;
    std::size_t t = 0;
    std::size_t star = std::string_view::npos;
    std::size_t resume = 0;
    while (t < text.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == text[t])) {
            ++p;
            ++t;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = t;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            t = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

std::string lowered(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// "|1|salt|hash": the HMAC-SHA1 of the name under the salt, both base64.
bool matchesHashed(std::string_view entry, const std::string& name)
{
    const std::size_t bar = entry.find('|', 3);
    if (bar == std::string_view::npos)
        return false;
    const auto salt = decodeBase64(entry.substr(3, bar - 3));
    const auto hash = decodeBase64(entry.substr(bar + 1));
    if (!salt || !hash)
        return false;
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (!HMAC(EVP_sha1(), salt->data(), static_cast<int>(salt->size()),
              reinterpret_cast<const unsigned char*>(name.data()), name.size(), digest, &length))
        return false;
    return std::string_view(reinterpret_cast<const char*>(digest), length) == *hash;
}

std::vector<std::string_view> fields(std::string_view line)
{
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t')
            ++i;
        if (i > start)
            out.push_back(line.substr(start, i - start));
    }
    return out;
}

} // namespace

KnownHosts KnownHosts::read(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return parse(text.str());
}

KnownHosts KnownHosts::parse(std::string_view text)
{
    KnownHosts known;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        // A file edited on Windows ends its lines in CR LF; OpenSSH reads them as usual.
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        std::vector<std::string_view> parts = fields(line);
        if (parts.empty() || parts.front().front() == '#')
            continue;
        Line entry;
        if (parts.front().front() == '@') {
            if (parts.front() == "@revoked")
                entry.marker = Marker::Revoked;
            else if (parts.front() == "@cert-authority")
                entry.marker = Marker::CertificateAuthority;
            else
                continue;
            parts.erase(parts.begin());
        }
        if (parts.size() < 3)
            continue;
        const auto key = decodeBase64(parts[2]);
        if (!key)
            continue;
        entry.hosts = std::string(parts[0]);
        entry.type = std::string(parts[1]);
        entry.key = *key;
        known.lines_.push_back(std::move(entry));
    }
    return known;
}

bool KnownHosts::matchesHost(const Line& line, const std::string& host, int port) const
{
    const std::string name =
        port == 22 ? lowered(host) : "[" + lowered(host) + "]:" + std::to_string(port);
    if (line.hosts.compare(0, 3, "|1|") == 0)
        return matchesHashed(line.hosts, name);
    bool matched = false;
    std::string_view patterns = line.hosts;
    while (!patterns.empty()) {
        const std::size_t comma = patterns.find(',');
        std::string_view pattern = patterns.substr(0, comma);
        patterns.remove_prefix(comma == std::string_view::npos ? patterns.size() : comma + 1);
        const bool negated = !pattern.empty() && pattern.front() == '!';
        if (negated)
            pattern.remove_prefix(1);
        if (!wildcard(lowered(std::string(pattern)), name))
            continue;
        if (negated)
            return false;
        matched = true;
    }
    return matched;
}

std::vector<std::string> KnownHosts::keyTypesFor(const std::string& host, int port) const
{
    std::vector<std::string> types;
    for (const Line& line : lines_)
        if (line.marker == Marker::None && matchesHost(line, host, port) &&
            std::find(types.begin(), types.end(), line.type) == types.end())
            types.push_back(line.type);
    return types;
}

KnownHosts::Verdict KnownHosts::check(const std::string& host, int port,
                                      std::string_view keyBlob) const
{
    bool match = false;
    bool changed = false;
    bool authority = false;
    // The type is the blob's first field, the same as the line's for the same key.
    std::string type;
    if (keyBlob.size() >= 4) {
        const std::size_t length = (static_cast<unsigned char>(keyBlob[0]) << 24) |
                                   (static_cast<unsigned char>(keyBlob[1]) << 16) |
                                   (static_cast<unsigned char>(keyBlob[2]) << 8) |
                                   static_cast<unsigned char>(keyBlob[3]);
        if (length <= keyBlob.size() - 4)
            type = std::string(keyBlob.substr(4, length));
    }
    for (const Line& line : lines_) {
        if (!matchesHost(line, host, port))
            continue;
        switch (line.marker) {
        case Marker::Revoked:
            if (line.key == keyBlob)
                return Verdict::Revoked;
            break;
        case Marker::CertificateAuthority:
            authority = true;
            break;
        case Marker::None:
            if (line.key == keyBlob)
                match = true;
            else if (line.type == type)
                changed = true;
            break;
        }
    }
    if (match)
        return Verdict::Match;
    if (changed)
        return Verdict::Changed;
    return authority ? Verdict::CertificateAuthorityOnly : Verdict::Unknown;
}

} // namespace vantiro
