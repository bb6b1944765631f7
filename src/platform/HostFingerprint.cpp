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
constexpr char hexDigits[] = "0123456789ABCDEF";

bool isBase64Char(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' ||
           c == '/';
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::array<unsigned char, sha256Bytes> sha256(std::string_view bytes)
{
    std::array<unsigned char, sha256Bytes> digest{};
    unsigned int length = 0;
    EVP_Digest(bytes.data(), bytes.size(), digest.data(), &length, EVP_sha256(), nullptr);
    return digest;
}

std::optional<std::string> normaliseHex(std::string_view value)
{
    // Pairs are joined by colons throughout, or written without any.
    const bool colons = value.find(':') != std::string_view::npos;
    const std::size_t step = colons ? 3 : 2;
    if (value.size() + (colons ? 1 : 0) != sha256Bytes * step)
        return std::nullopt;
    std::string out;
    for (std::size_t i = 0; i < value.size(); i += step) {
        if (hexValue(value[i]) < 0 || hexValue(value[i + 1]) < 0 ||
            (colons && i + 2 < value.size() && value[i + 2] != ':'))
            return std::nullopt;
        if (!out.empty())
            out += ':';
        out += hexDigits[hexValue(value[i])];
        out += hexDigits[hexValue(value[i + 1])];
    }
    return out;
}

} // namespace

std::string HostFingerprint::of(std::string_view keyBytes)
{
    const auto digest = sha256(keyBytes);
    std::array<unsigned char, 4 * ((sha256Bytes + 2) / 3) + 1> text{};
    const int written = EVP_EncodeBlock(text.data(), digest.data(), static_cast<int>(sha256Bytes));
    std::string encoded(reinterpret_cast<const char*>(text.data()),
                        static_cast<std::size_t>(written));
    while (!encoded.empty() && encoded.back() == '=')
        encoded.pop_back();
    return std::string(prefix) + encoded;
}

std::string HostFingerprint::hexOf(std::string_view bytes)
{
    const auto digest = sha256(bytes);
    std::string out;
    for (const unsigned char byte : digest) {
        if (!out.empty())
            out += ':';
        out += hexDigits[byte >> 4];
        out += hexDigits[byte & 15];
    }
    return out;
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
        return normaliseHex(typed);
    std::string_view value = typed.substr(prefix.size());
    if (!value.empty() && value.back() == '=')
        value.remove_suffix(1);
    if (value.size() != unpaddedLength || !std::all_of(value.begin(), value.end(), isBase64Char))
        return std::nullopt;
    return std::string(prefix) + std::string(value);
}

bool HostFingerprint::isHex(std::string_view normalised)
{
    return normalised.compare(0, prefix.size(), prefix) != 0;
}

} // namespace vantiro
