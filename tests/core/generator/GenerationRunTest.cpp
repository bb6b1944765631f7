#include "core/generator/GenerationRun.h"
#include "core/generator/KeywordList.h"
#include "core/generator/Random.h"
#include "core/generator/RecordingReporter.h"
#include "core/session/WorkFolders.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace vantiro {
namespace {

namespace fs = std::filesystem;

class GenerationRunTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WorkFolders::create(home.path());
        test::writeFile(home.file("vtr.gif"), "GIF89a-pixel");
        settings.keywordFile = home.file("keywordfile/keywords.vrk");
        test::writeFile(settings.keywordFile, "Auto\r\n\r\n  Reifen  \r\n   \r\n");
    }

    RunResult run(std::uint64_t seed = 7)
    {
        Random random(seed);
        return GenerationRun(settings, home.path(), random, reporter).run();
    }

    std::set<std::string> filesIn(const std::string& folder) const
    {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(home.file(folder)))
            if (entry.is_regular_file())
                names.insert(entry.path().filename().string());
        return names;
    }

    test::TempDir home;
    PageSettings settings = PageSettings::startValues();
    test::RecordingReporter reporter;
};

TEST_F(GenerationRunTest, RefusesInputsInCheckOrderWithTitleAndFocus)
{
    struct Case {
        std::string keyword, pages, revisit, title;
        FocusTarget focus;
    };
    const std::string pageText = "Geben Sie eine Zahl zwischen 20 und 1000 an.";
    const std::vector<Case> cases = {
        {"", "zwanzig", "0", "Keyword-Datei fehlt", FocusTarget::keywordFile},
        {"k", "zwanzig", "14", "Unkorrekte Seitenzahl", FocusTarget::pageCount},
        {"k", "19", "14", "Geben Sie eine Zahl zwischen 20 und 1000 an", FocusTarget::pageCount},
        {"k", "1000.4", "14", "Geben Sie eine Zahl zwischen 20 und 1000 an",
         FocusTarget::pageCount},
        {"k", "1001", "", "Geben Sie eine Zahl zwischen 20 und 1000 an", FocusTarget::pageCount},
        {"k", "20", "x", "Unkorrekte Zahl für Revisit-After", FocusTarget::revisit},
        {"k", "20", " ", "Unkorrekte Zahl für Revisit-After", FocusTarget::revisit},
        {"k", "20", "0", "Geben Sie eine Zahl zwischen 1 und 365 an", FocusTarget::revisit},
        {"k", "20", "366", "Geben Sie eine Zahl zwischen 1 und 365 an", FocusTarget::revisit},
    };
    for (const Case& c : cases) {
        reporter = {};
        settings.keywordFile = c.keyword;
        settings.pageCountText = c.pages;
        settings.revisit = c.revisit;
        const std::string bodyBefore = settings.body;
        EXPECT_EQ(run().outcome, RunOutcome::CheckFailed);
        ASSERT_EQ(reporter.messages.size(), 1u) << c.title;
        EXPECT_EQ(reporter.messages[0].title, c.title);
        EXPECT_EQ(reporter.messages[0].icon, MessageIcon::Exclamation);
        EXPECT_EQ(reporter.focus, c.focus) << c.title;
        EXPECT_EQ(settings.body, bodyBefore);
    }
    EXPECT_TRUE(filesIn("doorpages").empty());
}

TEST_F(GenerationRunTest, NumberedRunWritesPagesIndexAndClosingMessage)
{
    settings.keywordNames = false;
    settings.imageLinks = 0;
    settings.body = "<BODY><%spider%></BODY>";
    const RunResult result = run();

    EXPECT_EQ(result.outcome, RunOutcome::Completed);
    EXPECT_EQ(result.pagesWritten, 20);
    std::set<std::string> expected = {"vorschau.htm", "_keyliste.htm"};
    for (int p = 2; p <= 20; ++p)
        expected.insert("file" + std::to_string(p) + ".htm");
    EXPECT_EQ(filesIn("doorpages"), expected);

    const std::string index = test::readFile(home.file("doorpages/_keyliste.htm"));
    EXPECT_EQ(index.rfind("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">\r\n\r\n"
                          "<HTML>\r\n<HEAD>\r\n<TITLE>Linkliste - Linksammlung</TITLE>\r\n",
                          0),
              0u);
    EXPECT_NE(index.find("<OL>\r\n<LI><A HREF=\"vorschau.htm\">vorschau.htm</A></LI>\r\n"
                         "<LI><A HREF=\"file2.htm\">file2.htm</A></LI>\r\n"),
              std::string::npos);
    EXPECT_TRUE(index.ends_with("</A></FONT></P>\r\n</BODY>\r\n</HTML>\r\n\r\n"));

    const std::string page = test::readFile(home.file("doorpages/file7.htm"));
    EXPECT_NE(page.find("<A HREF=\"vorschau.htm\" TITLE=\""), std::string::npos);
    EXPECT_NE(page.find("<A HREF=\"file20.htm\" TITLE=\""), std::string::npos);
    EXPECT_NE(page.find("<BODY BGCOLOR=\"#FFFFFF\" TEXT=\"#000000\" LINK=\"#0000FF\"><A HREF="),
              std::string::npos);

    EXPECT_EQ(reporter.settingsShownAfterCaptions, 0u) << "the coloured body shows before page 1";
    EXPECT_EQ(reporter.captions.front(), "Erstelle vorschau.htm");
    EXPECT_EQ(reporter.captions[19], "Erstelle file20.htm");
    EXPECT_EQ(reporter.captions[20], "Seiten werden erstellt");
    EXPECT_EQ(reporter.captions.back(), "Seiten erfolgreich erstellt");
    EXPECT_EQ(reporter.busy, (std::vector<bool>{true, false}));
    ASSERT_EQ(reporter.messages.size(), 1u);
    EXPECT_EQ(reporter.messages[0].title, "Erstellung abgeschlossen");
    EXPECT_EQ(reporter.messages[0].text, "Doorpages erstellt in " + home.path() +
                                             "/doorpages/\r\nDie Dateiliste finden Sie in "
                                             "_keyliste.htm");
    EXPECT_EQ(settings.body, "<BODY BGCOLOR=\"#FFFFFF\" TEXT=\"#000000\" LINK=\"#0000FF\">"
                             "<%spider%></BODY>");
    EXPECT_EQ(settings.backgroundColor, "#FFFFFF");
}

TEST_F(GenerationRunTest, RoundsPageCountHalfToEven)
{
    settings.keywordNames = false;
    settings.imageLinks = 0;
    settings.pageCountText = "20.5";
    EXPECT_EQ(run().pagesWritten, 20);
    settings.pageCountText = " 21.5 ";
    EXPECT_EQ(run().pagesWritten, 22);
}

TEST_F(GenerationRunTest, KeywordNamesAreCleanedAndMadeUnique)
{
    test::writeFile(settings.keywordFile, "Auto Teile\r\nvorschau\r\n\xC4\xD6\xDC\r\n");
    settings.imageLinks = 1;
    const RunResult result = run();
    EXPECT_EQ(result.outcome, RunOutcome::Completed);
    const std::set<std::string> pages = filesIn("doorpages");
    EXPECT_TRUE(pages.count("Auto_Teile.htm"));
    EXPECT_TRUE(pages.count("Auto_Teile_2.htm"));
    EXPECT_TRUE(pages.count("vorschau_2.htm"));
    EXPECT_EQ(pages.size(), 21u) << "20 distinct pages and the index";
    for (const std::string& page : pages) {
        if (page == "_keyliste.htm")
            continue;
        const std::string image = page.substr(0, page.size() - 4) + ".gif";
        EXPECT_TRUE(test::exists(home.file("doorpages/images/" + image))) << image;
    }
    const std::string index = test::readFile(home.file("doorpages/_keyliste.htm"));
    EXPECT_NE(index.find(">Auto_Teile_2.htm<"), std::string::npos);
}

TEST_F(GenerationRunTest, KeywordNamesNeverMakeHiddenFiles)
{
    // A leading dot would hide the page and its image from file lists and uploads.
    test::writeFile(settings.keywordFile, ".NET\r\n...\r\n");
    EXPECT_EQ(run().outcome, RunOutcome::Completed);
    std::set<std::string> pages = filesIn("doorpages");
    EXPECT_TRUE(pages.count("NET.htm"));
    EXPECT_TRUE(test::exists(home.file("doorpages/images/NET.gif")));
    for (const auto& entry : fs::recursive_directory_iterator(home.file("doorpages")))
        EXPECT_NE(entry.path().filename().string().front(), '.') << entry.path();
}

TEST_F(GenerationRunTest, MissingPixelFileStopsBeforeTheFirstPage)
{
    fs::remove(home.file("vtr.gif"));
    const RunResult result = run();
    EXPECT_EQ(result.outcome, RunOutcome::Stopped);
    EXPECT_TRUE(filesIn("doorpages").empty());
    EXPECT_EQ(reporter.captions.back(), "Erstelle vorschau.htm");
    ASSERT_EQ(reporter.messages.size(), 1u);
    EXPECT_EQ(reporter.messages[0].title, "Programmfehler");
    EXPECT_NE(reporter.messages[0].text.find(" unter " + home.path() + " ab oder"),
              std::string::npos);
    EXPECT_EQ(reporter.busy.back(), false);
}

TEST_F(GenerationRunTest, UnusableKeywordFilesStopBeforeAnyPageWithTheirName)
{
    const std::string path = settings.keywordFile;
    const std::vector<std::pair<std::string, std::string>> files = {
        {"", "enthält keine Keywords"},
        {"  \r\n \r\r\n", "enthält keine Keywords"},
        {std::string("Auto\r\nRei\0fen\r\n", 13), "Nullzeichen in Zeile 2"},
        {"Auto\r" + std::string(KeywordList::maxKeywordLength + 1, 'x') + "\r\n",
         "Zeile 2 der Keyword-Datei"},
    };
    const PageSettings before = settings;
    for (const auto& [content, expected] : files) {
        reporter = {};
        test::writeFile(path, content);
        EXPECT_EQ(run().outcome, RunOutcome::CheckFailed);
        EXPECT_EQ(settings.body, before.body) << "refused before the colours go in";
        EXPECT_EQ(settings.backgroundColor, before.backgroundColor);
        EXPECT_FALSE(reporter.settingsShownAfterCaptions.has_value());
        ASSERT_EQ(reporter.messages.size(), 1u);
        EXPECT_EQ(reporter.messages[0].title, "Keyword-Datei fehlt");
        EXPECT_NE(reporter.messages[0].text.find(path), std::string::npos);
        EXPECT_NE(reporter.messages[0].text.find(expected), std::string::npos) << expected;
    }
    settings.keywordFile = home.file("keywordfile/gone.vrk");
    reporter = {};
    EXPECT_EQ(run().outcome, RunOutcome::CheckFailed);
    EXPECT_NE(reporter.messages.at(0).text.find("gone.vrk kann nicht gelesen werden"),
              std::string::npos);
    EXPECT_TRUE(filesIn("doorpages").empty());
}

TEST_F(GenerationRunTest, KeywordsOverTwoHundredFiftyFiveCharactersAreUsedLikeOthers)
{
    const std::string longKeyword = "Lang" + std::string(296, 'x');
    test::writeFile(settings.keywordFile, "Auto\r\n" + longKeyword + "\r\n");
    const RunResult result = run();
    ASSERT_EQ(result.outcome, RunOutcome::Completed);
    EXPECT_EQ(result.pagesWritten, 20);

    bool namedAfterIt = false;
    bool describedByItAlone = false;
    for (const std::string& name : filesIn("doorpages")) {
        EXPECT_LE(name.size(), 255u) << name;
        namedAfterIt |= name.starts_with("Lang" + std::string(240, 'x'));
        describedByItAlone |= test::readFile(home.file("doorpages/" + name))
                                  .find("<META NAME=\"description\" CONTENT=\"" + longKeyword +
                                        "\">") != std::string::npos;
    }
    EXPECT_TRUE(namedAfterIt);
    EXPECT_TRUE(describedByItAlone);
}

TEST_F(GenerationRunTest, ReportsFilesThatCouldNotBeWritten)
{
    settings.keywordNames = false;
    fs::create_directories(home.file("doorpages/file5.htm/occupied"));
    const RunResult result = run();
    EXPECT_EQ(result.outcome, RunOutcome::CompletedWithErrors);
    EXPECT_EQ(result.failedFiles, 1);
    EXPECT_EQ(result.firstFailedFile, home.file("doorpages/file5.htm"));
    EXPECT_EQ(reporter.messages.at(0).icon, MessageIcon::Exclamation);
    EXPECT_NE(reporter.messages.at(0).text.find("1 Datei konnte nicht geschrieben werden"),
              std::string::npos);
    EXPECT_NE(reporter.captions.back(), "Seiten erfolgreich erstellt");
    EXPECT_TRUE(test::exists(home.file("doorpages/file5.htm/occupied")));
}

TEST_F(GenerationRunTest, FileInPlaceOfOutputFolderStopsWithAMessage)
{
    fs::remove_all(home.file("doorpages"));
    test::writeFile(home.file("doorpages"), "not a folder");
    const std::string bodyBefore = settings.body;
    EXPECT_EQ(run().outcome, RunOutcome::CheckFailed);
    EXPECT_EQ(reporter.messages.at(0).title, "Programmfehler");
    EXPECT_EQ(settings.body, bodyBefore);
    EXPECT_FALSE(reporter.settingsShownAfterCaptions.has_value());
    EXPECT_EQ(test::readFile(home.file("doorpages")), "not a folder");
}

TEST_F(GenerationRunTest, SameSeedGivesIdenticalPages)
{
    settings.body = "<BODY><%key1%><%spider%></BODY>";
    run(99);
    const std::string first = test::readFile(home.file("doorpages/vorschau.htm"));
    run(99);
    EXPECT_EQ(test::readFile(home.file("doorpages/vorschau.htm")), first);
    run(100);
    EXPECT_NE(test::readFile(home.file("doorpages/vorschau.htm")), first);
}

} // namespace
} // namespace vantiro
