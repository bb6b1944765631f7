#include "core/generator/PageWriter.h"
#include "core/generator/CrossLinks.h"
#include "core/generator/KeywordList.h"
#include "core/generator/LiteralPageWriter.h"
#include "core/generator/Random.h"
#include "core/generator/RunMessages.h"
#include "core/generator/SpiderLinks.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <random>

namespace vantiro {
namespace {

using test::buildBothPages;
using test::PagePair;
const std::vector<std::string>& pageNames = test::literalPageNames;

std::string randomText(std::mt19937& engine, const std::vector<std::string>& tokens, int length)
{
    std::string text;
    for (int i = 0; i < length; ++i)
        text += tokens[engine() % tokens.size()];
    return text;
}

PageSettings plainSettings(const std::string& body)
{
    PageSettings settings = PageSettings::startValues();
    settings.title = "Autoteile";
    settings.body = body;
    return settings;
}

TEST(PageWriter, MatchesLiteralRecipeOnAdversarialKeywordsAndTemplates)
{
    const std::vector<std::string> tokens = {
        "a",          "B",         "</BODY>",    "<%key7%>", "<%key",    "%>",
        "1",          "7",         "<%spider%>", "<",        "%",        " ",
        "key",        "0",         "</BOD",      "Y>",       "<%key1%>", "<%key100%>",
        "<%key101%>", "<%key07%>", "\r\n",       "\xE4",     "<%key2",   "%><%key3%>"};
    // Every capital letter of Windows-1252 that has a small one, and the two that have none.
    const std::vector<std::string> capitals = {"A",    "Z",    "\x8A", "\x8C", "\x8E", "\x9F",
                                               "\xC0", "\xDE", "\xD7", "\xDF", ", ",   " "};
    std::mt19937 engine(12345);
    for (int round = 0; round < 400; ++round) {
        std::vector<std::string> lines;
        const int count = 1 + static_cast<int>(engine() % 12);
        for (int i = 0; i < count; ++i)
            lines.push_back(randomText(engine, tokens, 1 + static_cast<int>(engine() % 4)));
        const KeywordList keywords = KeywordList::fromLines(lines);
        PageSettings settings = plainSettings(randomText(engine, tokens, 20));
        settings.scripting = randomText(engine, tokens, 3);
        settings.title = randomText(engine, tokens, 2);
        settings.robots = randomText(engine, capitals, 3);
        if (round % 3 != 0)
            settings.description = randomText(engine, tokens, 1 + round % 4);
        const bool imageLinks = round % 2 == 0;
        const PagePair pages =
            buildBothPages(settings, keywords, imageLinks, round, round % 5 == 0);
        ASSERT_EQ(pages.fast, pages.literal) << "round " << round;
    }
}

TEST(PageWriter, MatchesLiteralRecipeOnPlaceholdersThatFormOnlyAfterReplacement)
{
    const KeywordList keywords = KeywordList::fromLines({"5", "<%key9%>", "</BODY>"});
    for (const std::string body :
         {"<BODY><%key<%key1%>%></BODY>", "<%spider%><%ke<%spider%>y3%>", "<%key1%><%spider%>",
          "<%spider%></BODY><%spider%>", "x<%key2%>y</BODY>", ""}) {
        for (std::uint64_t seed = 0; seed < 20; ++seed) {
            const PagePair pages =
                buildBothPages(plainSettings(body), keywords, seed % 2 == 1, seed);
            ASSERT_EQ(pages.fast, pages.literal) << body << " seed " << seed;
        }
    }
}

TEST(PageWriter, WritesExactlyTheBytesItBuilds)
{
    test::TempDir dir;
    const KeywordList keywords = KeywordList::fromLines({"a</BODY>b", "<%key2%>", "Auto"});
    const PageSettings settings = plainSettings("<BODY><%spider%>|<%key1%>|<%spider%></BODY>");
    for (const bool imageLinks : {false, true}) {
        Random builtRandom(11), writtenRandom(11);
        SpiderLinks builtLinks, writtenLinks;
        CrossLinks(pageNames, keywords, builtRandom, imageLinks).build(builtLinks);
        CrossLinks(pageNames, keywords, writtenRandom, imageLinks).build(writtenLinks);
        const std::string built =
            PageWriter(settings, keywords, builtRandom, "CREDIT").buildPage(builtLinks);
        ASSERT_TRUE(PageWriter(settings, keywords, writtenRandom, "CREDIT")
                        .writePage(dir.file("page.htm"), writtenLinks));
        EXPECT_EQ(test::readFile(dir.file("page.htm")), built);
    }
}

TEST(PageWriter, WritesHeadLinesInOrderAndEndsWithTwoLineBreaks)
{
    PageSettings settings = plainSettings("<BODY>\r\n<%key3%> <%key3%> <%key101%>\r\n</BODY>");
    settings.doctype = "";
    settings.robots = "INDEX, FOLLOW";
    settings.pragma = "cache";
    settings.caching = " YES";
    settings.author = "";
    settings.revisit = "";
    settings.scripting = "  <SCRIPT><%key4%></SCRIPT>  ";
    const KeywordList keywords = KeywordList::fromLines({"Reifen"});
    Random random(1);
    SpiderLinks noLinks = SpiderLinks::fromText("");
    const std::string page = PageWriter(settings, keywords, random, "CREDIT").buildPage(noLinks);

    EXPECT_EQ(page.rfind("\r\n\r\n<HTML>\r\n<HEAD>\r\n<TITLE>Autoteile Reifen", 0), 0u);
    EXPECT_NE(page.find("<META NAME=\"robots\" CONTENT=\"index, follow\">\r\n"
                        "<META HTTP-EQUIV=\"content-type\" CONTENT=\"text/html; "
                        "charset=ISO-8859-1\">\r\n<META HTTP-EQUIV=\"pragma\" CONTENT=\"cache\">"
                        "\r\n<META HTTP-EQUIV=\"cache-control\" CONTENT=\"NO-CACHE\">"),
              std::string::npos);
    EXPECT_EQ(page.find("revisit-after"), std::string::npos);
    EXPECT_EQ(page.find("\"author\""), std::string::npos);
    EXPECT_NE(page.find("<SCRIPT>Reifen</SCRIPT>\r\n</HEAD>"), std::string::npos);
    EXPECT_NE(page.find("Reifen Reifen <%key101%>"), std::string::npos);
    EXPECT_NE(page.find("\r\nCREDIT\r\n</BODY>\r\n</HTML>\r\n\r\n"), std::string::npos);
    EXPECT_TRUE(page.ends_with("</HTML>\r\n\r\n"));
    EXPECT_NE(page.find("Reifen,Reifen\">"), std::string::npos); // no comma before the end
}

TEST(PageWriter, FillsTitleUpToSixtyFourCharactersAndKeepsTheLastKeywordWhole)
{
    const KeywordList keywords = KeywordList::fromLines({"Felge"});
    const auto titleOf = [&](const std::string& title) {
        PageSettings settings = plainSettings("");
        settings.title = title;
        Random random(3);
        const std::string page =
            PageWriter(settings, keywords, random, "").buildPage(SpiderLinks::fromText(""));
        const size_t start = page.find("<TITLE>");
        return page.substr(start, page.find("</TITLE>") + 8 - start);
    };
    EXPECT_EQ(titleOf(std::string(56, 'x')), "<TITLE>" + std::string(56, 'x') + " Felge</TITLE>");
    EXPECT_EQ(titleOf(std::string(57, 'x')), "<TITLE>" + std::string(57, 'x') + "</TITLE>");
    EXPECT_EQ(titleOf("").substr(0, 13), "<TITLE> Felge");
}

TEST(PageWriter, DescriptionFieldLeadsTheDescriptionLineAndItsTwoCopies)
{
    const KeywordList keywords = KeywordList::fromLines({"Felge"});
    const auto pageWith = [&](const std::string& description) {
        PageSettings settings = plainSettings("<BODY></BODY>");
        settings.description = description;
        Random random(3);
        return PageWriter(settings, keywords, random, "").buildPage(SpiderLinks::fromText(""));
    };
    const auto felgen = [](int count) {
        std::string words;
        for (int i = 0; i < count; ++i)
            words += i == 0 ? "Felge" : " Felge";
        return words;
    };
    const auto linesOf = [](const std::string& content) {
        return "<META NAME=\"description\" CONTENT=\"" + content + "\">\r\n" +
               "<META NAME=\"keywords\"";
    };

    // An empty or blank field leaves the page as it was before the field counted.
    const std::string unchanged = pageWith("");
    EXPECT_NE(unchanged.find(linesOf(felgen(37))), std::string::npos);
    EXPECT_EQ(pageWith("   "), unchanged);

    const std::string page = pageWith("  Gute Felgen  ");
    EXPECT_NE(page.find(linesOf("Gute Felgen " + felgen(35))), std::string::npos);
    EXPECT_NE(page.find("<META NAME=\"DC.Subject\" CONTENT=\"Gute Felgen " + felgen(35) +
                        "\">\r\n<META NAME=\"DC.Description\" CONTENT=\"Gute Felgen " + felgen(35) +
                        "\">\r\n"),
              std::string::npos);

    // Keywords follow only while the line is within 250 characters.
    EXPECT_NE(pageWith(std::string(215, 'x')).find(linesOf(std::string(215, 'x') + " Felge")),
              std::string::npos);
    EXPECT_NE(pageWith(std::string(216, 'x')).find(linesOf(std::string(216, 'x'))),
              std::string::npos);
    EXPECT_NE(pageWith(std::string(300, 'x')).find(linesOf(std::string(300, 'x'))),
              std::string::npos);
}

TEST(PageWriter, WithoutKeywordsFillsEverySlotWithAnEmptyText)
{
    PageSettings settings = plainSettings("<%key1%>|<%key2%>");
    Random random(5);
    const std::string page =
        PageWriter(settings, KeywordList(), random, "").buildPage(SpiderLinks::fromText(""));
    EXPECT_NE(page.find("\r\n|\r\n"), std::string::npos);
    // Each pass adds only the comma, and only the last one goes before the closing quote.
    EXPECT_NE(page.find("<META NAME=\"keywords\" CONTENT=\"" + std::string(719, ',') + "\">"),
              std::string::npos);
}

TEST(PageWriter, WritePageReplacesTheFileAndReportsAFolderThatIsMissing)
{
    test::TempDir dir;
    const KeywordList keywords = KeywordList::fromLines({"Auto"});
    PageSettings settings = plainSettings("<BODY></BODY>");
    Random random(9);
    PageWriter writer(settings, keywords, random, "");
    test::writeFile(dir.file("page.htm"), "old content");
    EXPECT_TRUE(writer.writePage(dir.file("page.htm"), SpiderLinks::fromText("")));
    EXPECT_TRUE(test::readFile(dir.file("page.htm")).ends_with("</HTML>\r\n\r\n"));
    EXPECT_FALSE(writer.writePage(dir.file("missing/page.htm"), SpiderLinks::fromText("")));
}

} // namespace
} // namespace vantiro
