#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace vantiro {

// "#" and six lower-case hex digits from a colour value with red in the lowest byte. A negative
// value (top bit set) names a system colour and is first translated to its RGB value.
std::string colorToHtml(std::int32_t value,
                        const std::function<std::uint32_t(std::uint32_t)>& systemColor = {});

// <BODY BGCOLOR="bg" TEXT="text" LINK="link">
std::string bodyTag(const std::string& background, const std::string& text,
                    const std::string& link);

// The four-line STYLE block for a font family list, joined by CR LF, no CR LF at the end.
std::string styleBlock(const std::string& font);

} // namespace vantiro
