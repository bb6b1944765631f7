#include "core/text/Cp1252.h"

#include <cerrno>
#include <iconv.h>
#include <stdexcept>

namespace vantiro {
namespace {

class Converter final {
public:
    Converter(const char* to, const char* from) : handle_(iconv_open(to, from))
    {
        if (handle_ == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error("iconv cannot convert between UTF-8 and WINDOWS-1252");
    }
    ~Converter() { iconv_close(handle_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts as much as possible; returns false at an unconvertible or broken sequence and
    // leaves in/inLeft pointing at it.
    bool convert(char*& in, size_t& inLeft, std::string& out)
    {
        char buffer[4096];
        while (inLeft > 0) {
            char* outPtr = buffer;
            size_t outLeft = sizeof buffer;
            const size_t result = iconv(handle_, &in, &inLeft, &outPtr, &outLeft);
            out.append(buffer, sizeof buffer - outLeft);
            if (result == static_cast<size_t>(-1) && errno != E2BIG)
                return false;
        }
        return true;
    }

private:
    iconv_t handle_;
};

size_t utf8SequenceLength(unsigned char lead)
{
    if (lead >= 0xF0)
        return 4;
    if (lead >= 0xE0)
        return 3;
    if (lead >= 0xC0)
        return 2;
    return 1;
}

bool isUndefinedInCp1252(unsigned char c)
{
    return c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D;
}

} // namespace

std::string Cp1252::fromUtf8(std::string_view utf8)
{
    Converter converter("WINDOWS-1252", "UTF-8");
    std::string input(utf8);
    char* in = input.data();
    size_t inLeft = input.size();
    std::string out;
    out.reserve(input.size());
    while (!converter.convert(in, inLeft, out)) {
        const auto lead = static_cast<unsigned char>(in[0]);
        const auto next = inLeft > 1 ? static_cast<unsigned char>(in[1]) : 0;
        if (lead == 0xC2 && isUndefinedInCp1252(next)) {
            out += static_cast<char>(next); // the way back of toUtf8's control characters
            in += 2;
            inLeft -= 2;
            continue;
        }
        out += '?';
        // A broken sequence loses only its own bytes, never the character after it.
        size_t skip = 1;
        const size_t length = utf8SequenceLength(lead);
        while (skip < length && skip < inLeft &&
               (static_cast<unsigned char>(in[skip]) & 0xC0) == 0x80)
            ++skip;
        in += skip;
        inLeft -= skip;
    }
    return out;
}

std::string Cp1252::toUtf8(std::string_view cp1252)
{
    Converter converter("UTF-8", "WINDOWS-1252");
    std::string input(cp1252);
    char* in = input.data();
    size_t inLeft = input.size();
    std::string out;
    out.reserve(input.size() * 2);
    while (!converter.convert(in, inLeft, out)) {
        const auto c = static_cast<unsigned char>(*in);
        if (isUndefinedInCp1252(c)) {
            out += static_cast<char>(0xC2);
            out += static_cast<char>(c);
        } else {
            out += '?';
        }
        ++in;
        --inLeft;
    }
    return out;
}

} // namespace vantiro
