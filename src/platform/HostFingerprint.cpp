#include "platform/HostFingerprint.h"

#include <openssl/evp.h>

#include <algorithm>
#include <array>

namespace vantiro {
namespace {

constexpr std::string_view prefix = "SHA256:";
constexpr std::size_t sha256Bytes = 32;
// 32 bytes make 44 base64 characters, the last one padding.
constexpr std::size_t unpaddedLength = 43;

bool isBase64Char(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' ||
           c == '/';
}

} // namespace

std::string HostFingerprint::of(std::string_view keyBytes)
{
    std::array<unsigned char, sha256Bytes> digest{};
    unsigned int length = 0;
    EVP_Digest(keyBytes.data(), keyBytes.size(), digest.data(), &length, EVP_sha256(), nullptr);
    std::array<unsigned char, 4 * ((sha256Bytes + 2) / 3) + 1> text{};
    const int written = EVP_EncodeBlock(text.data(), digest.data(), static_cast<int>(length));
    std::string encoded(reinterpret_cast<const char*>(text.data()),
                        static_cast<std::size_t>(written));
    while (!encoded.empty() && encoded.back() == '=')
        encoded.pop_back();
    return std::string(prefix) + encoded;
}

std::optional<std::string> HostFingerprint::normalise(std::string_view typed)
{
    while (!typed.empty() && (typed.front() == ' ' || typed.front() == '\t'))
        typed.remove_prefix(1);
    while (!typed.empty() && (typed.back() == ' ' || typed.back() == '\t'))
        typed.remove_suffix(1);
    if (typed.size() < prefix.size() ||
        !std::equal(prefix.begin(), prefix.end(), typed.begin(),
                    [](char a, char b) { return a == (b >= 'a' && b <= 'z' ? b - 32 : b); }))
        return std::nullopt;
    std::string_view value = typed.substr(prefix.size());
    if (!value.empty() && value.back() == '=')
        value.remove_suffix(1);
    if (value.size() != unpaddedLength || !std::all_of(value.begin(), value.end(), isBase64Char))
        return std::nullopt;
    return std::string(prefix) + std::string(value);
}

} // namespace vantiro
