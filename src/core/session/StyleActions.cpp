#include "core/session/StyleActions.h"

#include "core/style/BodyStyle.h"
#include "core/style/SampleTemplate.h"

namespace vantiro {
namespace {

std::string& colorVariable(PageSettings& settings, BodyColor which)
{
    switch (which) {
    case BodyColor::background:
        return settings.backgroundColor;
    case BodyColor::text:
        return settings.textColor;
    case BodyColor::link:
        break;
    }
    return settings.linkColor;
}

} // namespace

void StyleActions::applyColor(PageSettings& settings, BodyColor which, const std::string& color)
{
    colorVariable(settings, which) = color;
    settings.bodyTag = bodyTag(settings.backgroundColor, settings.textColor, settings.linkColor);
    if (settings.body.empty())
        return;
    std::string body = settings.bodyTag;
    for (int i = 0; i < 8; ++i)
        body += "\r\n";
    settings.body = body + "</BODY>";
}

void StyleActions::applyFont(PageSettings& settings, const std::string& font)
{
    settings.fontName = font;
    settings.fontStyleBlock = styleBlock(font);
    settings.scripting = settings.fontStyleBlock;
}

void StyleActions::beginSample(PageSettings& settings)
{
    settings.sampleCodeShown = true;
    settings.body = sampleBody();
    settings.keywordNames = true;
    settings.pageCountText = "5";
    settings.imageLinks = 1;
}

void StyleActions::finishSample(PageSettings& settings, const std::string& title,
                                const std::string& address)
{
    settings.title = title;
    fillSampleMarkers(settings.body, title, address);
    settings.robots = "INDEX, FOLLOW";
    settings.revisit = "14";
    settings.pragma = "NO-CACHE";
    settings.caching = "NO-CACHE";
}

} // namespace vantiro
