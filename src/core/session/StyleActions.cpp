#include "core/session/StyleActions.h"

#include "core/style/BodyStyle.h"
#include "core/style/SampleTemplate.h"

namespace vantiro {
namespace {

std::string& colorVariable(PageSettings& settings, BodyColor which)
{
    switch (which) {
    case BodyColor::Seitenhintergrund:
        return settings.Seitenhintergrund;
    case BodyColor::Schriftfarbe:
        return settings.Schriftfarbe;
    case BodyColor::Linkfarbe:
        break;
    }
    return settings.Linkfarbe;
}

} // namespace

void StyleActions::applyColor(PageSettings& settings, BodyColor which, const std::string& color)
{
    colorVariable(settings, which) = color;
    settings.BodyInformation =
        BodyTag(settings.Seitenhintergrund, settings.Schriftfarbe, settings.Linkfarbe);
    if (settings.txtBody.empty())
        return;
    std::string body = settings.BodyInformation;
    for (int i = 0; i < 8; ++i)
        body += "\r\n";
    settings.txtBody = body + "</BODY>";
}

void StyleActions::applyFont(PageSettings& settings, const std::string& font)
{
    settings.Schriftart = font;
    settings.SchriftartStyle = StyleBlock(font);
    settings.txtScripting = settings.SchriftartStyle;
}

void StyleActions::beginSample(PageSettings& settings)
{
    settings.Beispielcode = true;
    settings.txtBody = sampleBody();
    settings.optKeywords = true;
    settings.txtAnzahlSeiten = "5";
    settings.chkImageLinks = 1;
}

void StyleActions::finishSample(PageSettings& settings, const std::string& title,
                                const std::string& address)
{
    settings.txtTitle = title;
    fillSampleMarkers(settings.txtBody, title, address);
    settings.cmbRobots = "INDEX, FOLLOW";
    settings.cmbRevisit = "14";
    settings.cmbPragma = "NO-CACHE";
    settings.cmbCaching = "NO-CACHE";
}

} // namespace vantiro
