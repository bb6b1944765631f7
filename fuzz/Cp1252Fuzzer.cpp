// Windows-1252 conversion: every byte survives a round trip, and a broken UTF-8 sequence loses
// only its own bytes, never a character around it.
#include "FuzzInput.h"
#include "core/text/Cp1252.h"

using namespace vantiro;

namespace {

bool isValidUtf8(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = lead < 0x80                   ? 1
                             : lead >= 0xC2 && lead < 0xE0 ? 2
                             : lead >= 0xE0 && lead < 0xF0 ? 3
                             : lead >= 0xF0 && lead < 0xF5 ? 4
                                                           : 0;
        if (length == 0 || i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        }
        i += length;
    }
    return true;
}

// The ASCII characters of a text other than "?", in order: conversion keeps them all.
std::string asciiWithoutQuestionMarks(std::string_view text)
{
    std::string kept;
    for (char c : text) {
        if (static_cast<unsigned char>(c) < 0x80 && c != '?')
            kept += c;
    }
    return kept;
}

std::size_t codePoints(std::string_view utf8)
{
    std::size_t count = 0;
    for (char c : utf8)
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    const std::string utf8 = Cp1252::toUtf8(bytes);
    fuzz::check(isValidUtf8(utf8), "toUtf8 gives valid UTF-8", utf8);
    const std::string back = Cp1252::fromUtf8(utf8);
    if (back != bytes)
        fuzz::fail("every byte survives a round trip", bytes, back);

    const std::string converted = Cp1252::fromUtf8(bytes);
    fuzz::check(converted.size() <= bytes.size(), "fromUtf8 never grows", converted);
    if (asciiWithoutQuestionMarks(converted) != asciiWithoutQuestionMarks(bytes))
        fuzz::fail("a broken sequence loses only its own bytes", asciiWithoutQuestionMarks(bytes),
                   asciiWithoutQuestionMarks(converted));
    if (isValidUtf8(bytes) && converted.size() != codePoints(bytes))
        fuzz::fail("one byte per character of valid UTF-8", bytes, converted);
    return 0;
}
