#include "core/session/PageSettings.h"

namespace vantiro {

const std::vector<std::string>& doctypeChoices()
{
    static const std::vector<std::string> choices = {
        "",
        R"(<!DOCTYPE HTML PUBLIC "-//W3C//DTD HTML 4.0 Transitional//EN">)",
        R"(<!DOCTYPE HTML PUBLIC "-//W3C//DTD HTML 4.01 Transitional//EN" )"
        R"("http://www.w3.org/TR/html4/loose.dtd">)",
        R"(<!DOCTYPE HTML PUBLIC "-//W3C//DTD HTML 4.01//EN" "http://www.w3.org/TR/html4/strict.dtd">)",
        R"(<!DOCTYPE HTML PUBLIC "-//W3C//DTD HTML 4.01 Frameset//EN" )"
        R"("http://www.w3.org/TR/html4/frameset.dtd">)",
        R"(<!DOCTYPE HTML PUBLIC "-//W3C//DTD XHTML 1.0 Strict//EN" )"
        R"("http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd">)",
        R"(<!DOCTYPE HTML PUBLIC "-//W3C//DTD XHTML 1.0 Transitional//EN" )"
        R"("http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd">)",
        R"(<!DOCTYPE HTML PUBLIC "-//W3C//DTD XHTML 1.0 Frameset//EN" )"
        R"("http://www.w3.org/TR/xhtml1/DTD/xhtml1-frameset.dtd">)",
    };
    return choices;
}

const std::vector<std::string>& robotsChoices()
{
    static const std::vector<std::string> choices = {"ALL",
                                                     "NONE",
                                                     "INDEX",
                                                     "FOLLOW",
                                                     "INDEX, FOLLOW",
                                                     "NOINDEX, FOLLOW",
                                                     "INDEX, NOFOLLOW",
                                                     "NOINDEX, NOFOLLOW"};
    return choices;
}

const std::vector<std::string>& pragmaChoices()
{
    static const std::vector<std::string> choices = {"NO-CACHE", "CACHE"};
    return choices;
}

const std::vector<std::string>& revisitChoices()
{
    static const std::vector<std::string> choices = {"7",  "10", "14", "21",  "28",
                                                     "31", "60", "90", "120", "365"};
    return choices;
}

const std::vector<std::string>& cachingChoices()
{
    static const std::vector<std::string> choices = {"YES", "NO-CACHE"};
    return choices;
}

const std::string& defaultDoctype()
{
    return doctypeChoices()[1];
}

std::string emptyBody(int lineBreaks)
{
    std::string body = "<BODY>";
    for (int i = 0; i < lineBreaks; ++i)
        body += "\r\n";
    return body + "</BODY>";
}

PageSettings PageSettings::startValues()
{
    PageSettings settings;
    settings.sampleCodeShown = false;
    settings.doctype = defaultDoctype();
    settings.robots = "INDEX, FOLLOW";
    settings.pragma = "NO-CACHE";
    settings.revisit = "14";
    settings.caching = "NO-CACHE";
    settings.body = emptyBody(6);
    settings.keywordNames = true;
    settings.imageLinks = 1;
    settings.pageCountText = "20";
    return settings;
}

void PageSettings::reset()
{
    doctype = defaultDoctype();
    caching = "NO-CACHE";
    scripting.clear();
    keywordFile.clear();
    body = emptyBody(7);
    keywordNames = true;
    imageLinks = 1;
    sampleCodeShown = false;
    title.clear();
    robots = "INDEX, FOLLOW";
    description.clear();
    author.clear();
    pragma = "NO-CACHE";
    revisit = "14";
    pageCountText = "20";
}

} // namespace vantiro
