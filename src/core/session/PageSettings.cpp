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
    settings.Beispielcode = false;
    settings.cmbDoctype = defaultDoctype();
    settings.cmbRobots = "INDEX, FOLLOW";
    settings.cmbPragma = "NO-CACHE";
    settings.cmbRevisit = "14";
    settings.cmbCaching = "NO-CACHE";
    settings.txtBody = emptyBody(6);
    settings.optKeywords = true;
    settings.chkImageLinks = 1;
    settings.txtAnzahlSeiten = "20";
    return settings;
}

void PageSettings::reset()
{
    cmbDoctype = defaultDoctype();
    cmbCaching = "NO-CACHE";
    txtScripting.clear();
    txtKeyword.clear();
    txtBody = emptyBody(7);
    optKeywords = true;
    chkImageLinks = 1;
    Beispielcode = false;
    txtTitle.clear();
    cmbRobots = "INDEX, FOLLOW";
    txtDescription.clear();
    txtAuthor.clear();
    cmbPragma = "NO-CACHE";
    cmbRevisit = "14";
    txtAnzahlSeiten = "20";
}

} // namespace vantiro
