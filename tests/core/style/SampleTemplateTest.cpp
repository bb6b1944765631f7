#include "core/style/SampleTemplate.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantiro {
namespace {

std::vector<std::string> splitAtCrLf(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end = text.find("\r\n"); end != std::string::npos;
         start = end + 2, end = text.find("\r\n", start))
        lines.push_back(text.substr(start, end - start));
    lines.push_back(text.substr(start));
    return lines;
}

size_t count(const std::string& text, const std::string& part)
{
    size_t found = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++found;
    return found;
}

TEST(SampleTemplate, BodyHasThirtyEightCrLfLinesWithTheEmptyLinesInPlace)
{
    const std::string& body = sampleBody();
    const std::vector<std::string> lines = splitAtCrLf(body);
    ASSERT_EQ(lines.size(), 38u);
    EXPECT_EQ(count(body, "\r"), 37u);
    EXPECT_EQ(count(body, "\n"), 37u);

    for (size_t number : {3, 5, 7, 9, 11, 13, 27, 29, 31, 33, 35, 37})
        EXPECT_EQ(lines[number - 1], "") << "line " << number;
    for (size_t number = 1; number <= 38; ++number) {
        if (lines[number - 1].empty())
            continue;
        EXPECT_EQ(lines[number - 1].front(), '<') << "line " << number;
        EXPECT_EQ(lines[number - 1].back(), '>') << "line " << number;
    }
    EXPECT_EQ(lines[0], "<BODY BGCOLOR=\"#FFFFFF\" ALT=\"<%key1%>, <%key2%>, <%key3%>, "
                        "<%key4%>, <%key5%>, <%key6%>\">");
    EXPECT_EQ(lines[9], "<HR COLOR=\"#330099\" SIZE=\"3\" WIDTH=\"60%\" ALIGN=\"CENTER\">");
    EXPECT_EQ(lines[33], "<HR COLOR=\"#330099\" size=\"3\" width=\"60%\" ALIGN=\"CENTER\">");
    EXPECT_EQ(lines[35], "<H5 ALIGN=\"CENTER\"><%spider%></H5>");
    EXPECT_EQ(lines[37], "</BODY>");
    EXPECT_EQ(lines[14], "<TR>");
    EXPECT_EQ(lines[25], "</TABLE>");
}

TEST(SampleTemplate, MarkersAndPlaceholdersSitWhereThePageNeedsThem)
{
    const std::string& body = sampleBody();
    const std::vector<std::string> lines = splitAtCrLf(body);
    EXPECT_EQ(count(body, "YOUR_NEXT_PAGE.htm"), 25u);
    EXPECT_EQ(count(body, "SITE_TITLE"), 1u);
    EXPECT_NE(lines[27].find("<B>SITE_TITLE</B>"), std::string::npos);
    // The paragraph ends with the FONT tag after "auf" and the title link follows directly.
    EXPECT_NE(lines[27].find(" auf </FONT><A HREF=\"YOUR_NEXT_PAGE.htm\" TARGET=\"_top\" "
                             "TITLE=\"<%key4%>\">"),
              std::string::npos);
    EXPECT_NE(lines[27].find("<BR><BR>"), std::string::npos);
    EXPECT_NE(lines[29].find("richtig!<br>Hier"), std::string::npos);
    for (int key = 1; key <= 15; ++key)
        EXPECT_NE(body.find("<%key" + std::to_string(key) + "%>"), std::string::npos) << key;
    EXPECT_EQ(body.find("<%key16%>"), std::string::npos);
    EXPECT_EQ(count(body, "<%spider%>"), 1u);
}

TEST(SampleTemplate, CancelledAnswersLeaveAnEmptyTitleAndEmptyLinks)
{
    std::string body = sampleBody();
    fillSampleMarkers(body, "", "");
    EXPECT_EQ(count(body, "SITE_TITLE"), 0u);
    EXPECT_EQ(count(body, "YOUR_NEXT_PAGE.htm"), 0u);
    EXPECT_NE(body.find("<B></B>"), std::string::npos);
    EXPECT_EQ(count(body, "HREF=\"\""), 25u);
    EXPECT_EQ(splitAtCrLf(body).size(), 38u);
}

TEST(SampleTemplate, TitleGoesInFirstSoALinkMarkerInItGetsTheAddressToo)
{
    std::string body = sampleBody();
    fillSampleMarkers(body, "Mein YOUR_NEXT_PAGE.htm", "http://www.beispiel.example/");
    EXPECT_NE(body.find("<B>Mein http://www.beispiel.example/</B>"), std::string::npos);
    EXPECT_EQ(count(body, "HREF=\"http://www.beispiel.example/\""), 25u);

    std::string lowerCase = "site_title your_next_page.htm";
    fillSampleMarkers(lowerCase, "T", "U");
    EXPECT_EQ(lowerCase, "site_title your_next_page.htm") << "markers match case-sensitively";
}

} // namespace
} // namespace vantiro
