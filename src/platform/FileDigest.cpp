#include "platform/FileDigest.h"

#include <openssl/evp.h>

#include <array>
#include <cstdio>
#include <memory>

namespace vantiro {
namespace {

struct ContextFree {
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};
struct FileClose {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

std::string hex(const unsigned char* digest, unsigned int length)
{
    static constexpr char digits[] = "0123456789abcdef";
    std::string text;
    for (unsigned int i = 0; i < length; ++i) {
        text += digits[digest[i] >> 4];
        text += digits[digest[i] & 15];
    }
    return text;
}

} // namespace

std::string FileDigest::sha256(std::string_view bytes)
{
    std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
    unsigned int length = 0;
    EVP_Digest(bytes.data(), bytes.size(), digest.data(), &length, EVP_sha256(), nullptr);
    return hex(digest.data(), length);
}

std::optional<std::string> FileDigest::sha256OfFile(const std::string& path)
{
    const std::unique_ptr<std::FILE, FileClose> file(std::fopen(path.c_str(), "rb"));
    const std::unique_ptr<EVP_MD_CTX, ContextFree> context(EVP_MD_CTX_new());
    if (!file || !context || EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) != 1)
        return std::nullopt;
    std::array<char, 64 * 1024> buffer{};
    for (;;) {
        const std::size_t read = std::fread(buffer.data(), 1, buffer.size(), file.get());
        if (read > 0 && EVP_DigestUpdate(context.get(), buffer.data(), read) != 1)
            return std::nullopt;
        if (read < buffer.size())
            break;
    }
    if (std::ferror(file.get()))
        return std::nullopt;
    std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
    unsigned int length = 0;
    if (EVP_DigestFinal_ex(context.get(), digest.data(), &length) != 1)
        return std::nullopt;
    return hex(digest.data(), length);
}

} // namespace vantiro
