#include "core/style/BodyStyle.h"

#include <cstdio>

namespace vantiro {

std::string colorToHtml(std::int32_t value,
                        const std::function<std::uint32_t(std::uint32_t)>& systemColor)
{
    auto rgb = static_cast<std::uint32_t>(value);
    if (value < 0 && systemColor)
        rgb = systemColor(rgb);
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", rgb & 0xFFu, (rgb >> 8) & 0xFFu,
                  (rgb >> 16) & 0xFFu);
    return text;
}

std::string bodyTag(const std::string& background, const std::string& text, const std::string& link)
{
    return "<BODY BGCOLOR=\"" + background + "\" TEXT=\"" + text + "\" LINK=\"" + link + "\">";
}

std::string styleBlock(const std::string& font)
{
    return "<STYLE TYPE=\"TEXT/CSS\">\r\n"
           "SPAN {font-family:" +
           font +
           ";font-size:10pt;}\r\n"
           "BODY, H1, H2, H3, H4, H5, H6, DIV, P, TD, UL, OL, LI {font-family:" +
           font + ";}\r\n</STYLE>";
}

} // namespace vantiro
