#include "cli/CliRunner.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace vantiro {
namespace {

namespace fs = std::filesystem;
using test::runCli;

class GenerateCommandTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(home.file("keywordfile"));
        test::writeFile(home.file("vtr.gif"), "GIF89a");
        test::writeFile(keywords(), "Auto\r\nReifen\r\nFelge\r\n");
    }
    std::string keywords() const { return home.file("keywordfile/keywords.vrk"); }
    std::vector<std::string> generate(std::vector<std::string> more) const
    {
        std::vector<std::string> args = {"generate", "--home", home.path(), "--keywords",
                                         keywords()};
        args.insert(args.end(), more.begin(), more.end());
        return args;
    }
    size_t pageCount() const
    {
        size_t count = 0;
        for (const auto& entry : fs::directory_iterator(home.file("doorpages")))
            count += entry.is_regular_file() ? 1 : 0;
        return count;
    }

    test::TempDir home;
};

TEST_F(GenerateCommandTest, SameSeedGivesByteIdenticalOutput)
{
    const auto args =
        generate({"--seed", "17", "--title",
                  "Gr\xC3\xB6\xC3\x9F"
                  "e \xE2\x82\xAC \xE2\x98\x83",
                  "--background", "#ff8000", "--description", " G\xC3\xBCnstige Felgen "});
    const auto first = runCli(args);
    ASSERT_EQ(first.exitCode, 0) << first.err;
    EXPECT_NE(first.out.find("Doorpages erstellt in " + home.path() + "/doorpages/\n"),
              std::string::npos);
    const std::string page = test::readFile(home.file("doorpages/vorschau.htm"));
    EXPECT_NE(page.find("<TITLE>Gr\xF6\xDF"
                        "e \x80 ?"),
              std::string::npos)
        << "Windows-1252 bytes, '?' for the snowman";
    EXPECT_NE(page.find("BGCOLOR=\"#ff8000\""), std::string::npos);
    EXPECT_NE(page.find("<META NAME=\"description\" CONTENT=\"G\xFCnstige Felgen "),
              std::string::npos);
    ASSERT_EQ(runCli(args).exitCode, 0);
    EXPECT_EQ(test::readFile(home.file("doorpages/vorschau.htm")), page);
}

TEST_F(GenerateCommandTest, TakesTemplatesAndOptionsFromTheCommandLine)
{
    test::writeFile(home.file("body.txt"), "<BODY>\r\n<%spider%>\r\n</BODY>");
    test::writeFile(home.file("head.txt"), "<STYLE></STYLE>");
    const auto result = runCli(generate({"--numbered", "--text-links", "--pages", "25", "--body",
                                         home.file("body.txt"), "--head", home.file("head.txt"),
                                         "--revisit", "", "--doctype", "", "--seed", "1"}));
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(pageCount(), 26u) << "25 pages and the index";
    const std::string page = test::readFile(home.file("doorpages/file25.htm"));
    EXPECT_EQ(page.rfind("\r\n\r\n<HTML>", 0), 0u);
    EXPECT_NE(page.find("<STYLE></STYLE>\r\n</HEAD>"), std::string::npos);
    EXPECT_EQ(page.find("revisit-after"), std::string::npos);
    EXPECT_EQ(page.find("<IMG"), std::string::npos);
    EXPECT_TRUE(fs::is_empty(home.file("doorpages/images")));
}

TEST_F(GenerateCommandTest, RefusedInputsExitWithTwoAndWriteNothing)
{
    const std::vector<std::vector<std::string>> refused = {
        generate({"--pages", "19"}),
        generate({"--revisit", "366"}),
        generate({"--body", home.file("missing.txt")}),
        generate({"--background", "red"}),
        generate({"--seed", "-1"}),
        {"generate", "--home", home.path(), "--keywords", home.file("none.vrk")},
        {"generate", "--home", home.path()},
        {"generate", "--home", home.file("vtr.gif/sub"), "--keywords", keywords()},
        {"generate", "--unknown"},
    };
    for (const auto& args : refused) {
        const auto result = runCli(args);
        EXPECT_EQ(result.exitCode, 2) << args.back();
        EXPECT_FALSE(result.err.empty()) << args.back();
        EXPECT_TRUE(result.out.empty()) << args.back();
    }
    EXPECT_EQ(pageCount(), 0u);
    EXPECT_EQ(test::readFile(home.file("vtr.gif")), "GIF89a");
}

TEST_F(GenerateCommandTest, AFileInPlaceOfTheOutputFolderIsLeftAlone)
{
    test::writeFile(home.file("doorpages"), "user file");
    const auto result = runCli(generate({}));
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("Programmfehler"), std::string::npos);
    EXPECT_EQ(test::readFile(home.file("doorpages")), "user file");
}

TEST_F(GenerateCommandTest, PartlyWrittenRunExitsWithOne)
{
    fs::create_directories(home.file("doorpages/_keyliste.htm/occupied"));
    const auto result = runCli(generate({"--numbered"}));
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("_keyliste.htm"), std::string::npos);
}

TEST(KeywordsCommand, WritesANewFileOrRefusesTextWithoutComma)
{
    test::TempDir home;
    const auto written = runCli({"keywords", "--home", home.path(),
                                 "Gr\xC3\xB6\xC3\x9F"
                                 "e, Auto"});
    ASSERT_EQ(written.exitCode, 0) << written.err;
    EXPECT_EQ(written.out, home.file("keywordfile/keywords.vrk") + "\n");
    EXPECT_EQ(test::readFile(home.file("keywordfile/keywords.vrk")), "Gr\xF6\xDF"
                                                                     "e\r\nAuto\r\n");
    const auto refused = runCli({"keywords", "--home", home.path(), "Auto"});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_NE(refused.err.find("Keywords fehlen"), std::string::npos);
}

TEST_F(GenerateCommandTest, AProgramFolderWithoutAPixelFileUsesTheShippedOne)
{
    fs::remove(home.file("vtr.gif"));
    const auto result = runCli(generate({"--seed", "3"}));
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::string shipped = test::readFile(VANTIRO_SOURCE_DIR "/resources/vtr.gif");
    ASSERT_FALSE(shipped.empty());
    size_t images = 0;
    for (const auto& entry : fs::directory_iterator(home.file("doorpages/images"))) {
        EXPECT_EQ(test::readFile(entry.path().string()), shipped) << entry.path();
        ++images;
    }
    EXPECT_GT(images, 0u);
    EXPECT_FALSE(fs::exists(home.file("vtr.gif"))) << "nothing is copied into the folder";
}

TEST_F(GenerateCommandTest, ACheckWhoseTitleIsItsSentenceSaysItOnce)
{
    const auto result = runCli(generate({"--pages", "5"}));
    EXPECT_EQ(result.exitCode, 2);
    const std::string sentence = "Geben Sie eine Zahl zwischen 20 und 1000 an";
    const size_t first = result.err.find(sentence);
    ASSERT_NE(first, std::string::npos) << result.err;
    EXPECT_EQ(result.err.find(sentence, first + 1), std::string::npos) << result.err;
}

TEST_F(GenerateCommandTest, OptionsTakeTheirValueJoinedOrSeparate)
{
    const auto joined = runCli({"generate", "--home=" + home.path(), "--keywords=" + keywords(),
                                "--seed=5", "--title=a=b", "--numbered"});
    ASSERT_EQ(joined.exitCode, 0) << joined.err;
    const std::string page = test::readFile(home.file("doorpages/file20.htm"));
    EXPECT_NE(page.find("<TITLE>a=b"), std::string::npos) << "only the first = separates";
    fs::remove_all(home.file("doorpages"));
    ASSERT_EQ(runCli(generate({"--seed", "5", "--title", "a=b", "--numbered"})).exitCode, 0);
    EXPECT_EQ(test::readFile(home.file("doorpages/file20.htm")), page);
}

TEST(CommandLineConventions, VersionAndHelpAnswerOnStdoutWithZero)
{
    const auto version = runCli({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "vantiro-cli " VANTIRO_VERSION "\n");
    const std::vector<std::vector<std::string>> asks = {{"--help"},
                                                        {"-h"},
                                                        {"help"},
                                                        {"generate", "--help"},
                                                        {"keywords", "-h"},
                                                        {"upload", "--help"},
                                                        {"list", "--server", "x", "-h"}};
    for (const auto& args : asks) {
        const auto result = runCli(args);
        EXPECT_EQ(result.exitCode, 0) << args.back();
        EXPECT_EQ(result.out.rfind("Aufruf:", 0), 0u) << args.back();
        EXPECT_NE(result.out.find("Rückgabewerte"), std::string::npos) << args.back();
        EXPECT_TRUE(result.err.empty()) << args.back();
    }
    EXPECT_NE(runCli({"upload", "--help"}).out.find("vantiro-cli upload --server"),
              std::string::npos)
        << "a subcommand's help shows that subcommand";
}

TEST(CommandLineConventions, WrongCallsAreExplainedInGermanOnceAndExitWithTwo)
{
    test::TempDir home;
    const std::vector<std::pair<std::vector<std::string>, std::string>> wrong = {
        {{}, "Es fehlt ein Befehl."},
        {{"make"}, "Unbekannter Befehl make."},
        {{"generate", "--bogus"}, "Unbekannte Option --bogus."},
        {{"generate", "-x"}, "Unbekannte Option -x."},
        {{"generate", "--keywords"}, "Die Option --keywords erwartet einen Wert."},
        {{"generate", "--pages", "20", "--pages=30"}, "Die Option --pages ist doppelt angegeben."},
        {{"generate", "--numbered=yes"}, "Die Option --numbered erwartet keinen Wert."},
        {{"generate", "extra"}, "Unerwartetes Argument extra."},
        {{"keywords", "--home", home.path()}, "Erwartet genau einen TEXT"},
        {{"keywords", "--home", home.path(), "a,b", "c"}, "Erwartet genau einen TEXT"},
    };
    for (const auto& [args, message] : wrong) {
        const auto result = runCli(args);
        EXPECT_EQ(result.exitCode, 2) << message;
        EXPECT_TRUE(result.out.empty()) << message;
        const size_t first = result.err.find(message);
        EXPECT_NE(first, std::string::npos) << result.err;
        EXPECT_EQ(result.err.find(message, first + 1), std::string::npos) << result.err;
        EXPECT_NE(result.err.find("--help"), std::string::npos) << "says where help is";
    }
    EXPECT_FALSE(fs::exists(home.file("keywordfile/keywords.vrk")));
}

TEST(CommandLineConventions, DoubleDashLetsAWordBeginWithADash)
{
    test::TempDir home;
    const auto result = runCli({"keywords", "--home", home.path(), "--", "-Auto, --help"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(test::readFile(home.file("keywordfile/keywords.vrk")), "-Auto\r\n--help\r\n");
}

} // namespace
} // namespace vantiro
