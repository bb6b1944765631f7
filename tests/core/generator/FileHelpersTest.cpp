#include "core/generator/NumberText.h"
#include "core/generator/Random.h"
#include "core/generator/TextFile.h"
#include "core/generator/modGeneral.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

namespace vantiro {
namespace {

TEST(SanitizeFileName, KeepsOnlyPlainLettersDigitsDotsAndUnderscores)
{
    EXPECT_EQ(SanitizeFileName("  Auto Teile  "), "Auto_Teile");
    EXPECT_EQ(SanitizeFileName("Gr\xF6\xDF"
                               "e.htm"),
              "Gre.htm");
    EXPECT_EQ(SanitizeFileName("a-b/c.htm"), "abc.htm");
    EXPECT_EQ(SanitizeFileName("vorschau.htm"), "vorschau.htm");
    EXPECT_EQ(SanitizeFileName("a  b"), "a__b");
    EXPECT_EQ(SanitizeFileName("\xE4\xF6\xFC"), "");
    EXPECT_EQ(SanitizeFileName("a\tb:c\\d"), "abcd");
}

TEST(FileSystemHelpers, TellFilesFromFoldersAndHonourWildcards)
{
    test::TempDir dir;
    std::filesystem::create_directory(dir.file("folder"));
    test::writeFile(dir.file("keywords.vrk"), "x");
    test::writeFile(dir.file(".hidden.vrk"), "x");
    EXPECT_TRUE(FolderExists(dir.file("folder")));
    EXPECT_FALSE(FolderExists(dir.file("keywords.vrk")));
    EXPECT_TRUE(FileExists(dir.file("keywords.vrk")));
    EXPECT_FALSE(FileExists(dir.file("folder")));
    EXPECT_FALSE(FileExists(dir.file(".hidden.vrk")));
    EXPECT_TRUE(FileExists(dir.file("*.VRK")));
    EXPECT_FALSE(FileExists(dir.file("*.vrv")));
    EXPECT_FALSE(FileExists(dir.file("missing/*.vrk")));
}

TEST(FileSystemHelpers, WildcardsFindFilesWhoseNamesHoldStarsOrQuestionMarks)
{
    test::TempDir dir;
    test::writeFile(dir.file("a*b.vrk"), "x");
    test::writeFile(dir.file("wer?.vrv"), "x");
    EXPECT_TRUE(FileExists(dir.file("*.vrk")));
    EXPECT_TRUE(FileExists(dir.file("*b.vrk")));
    EXPECT_TRUE(FileExists(dir.file("a*")));
    EXPECT_TRUE(FileExists(dir.file("*?.vrv")));
    EXPECT_FALSE(FileExists(dir.file("*c.vrk")));
}

TEST(WildcardMatch, FollowsWindowsRules)
{
    EXPECT_TRUE(WildcardMatch("*.*", "README"));
    EXPECT_TRUE(WildcardMatch("", "anything"));
    EXPECT_TRUE(WildcardMatch("*.HTM", "index.htm"));
    EXPECT_TRUE(WildcardMatch("file?.htm", "File7.htm"));
    EXPECT_FALSE(WildcardMatch("file?.htm", "file10.htm"));
    EXPECT_TRUE(WildcardMatch("images.*", "images"));
    EXPECT_FALSE(WildcardMatch("*.gif", "index.htm"));
    EXPECT_TRUE(WildcardMatch("a*b*c", "aXXbYYc"));
}

TEST(WildcardMatch, StarsAndQuestionMarksInTheNameAreOrdinaryCharacters)
{
    EXPECT_TRUE(WildcardMatch("*", "*b"));
    EXPECT_TRUE(WildcardMatch("*b", "*b"));
    EXPECT_TRUE(WildcardMatch("**b", "a*b"));
    EXPECT_TRUE(WildcardMatch("*.htm", "*.htm"));
    EXPECT_TRUE(WildcardMatch("?b", "*b"));
    EXPECT_TRUE(WildcardMatch("a?", "a?"));
    EXPECT_FALSE(WildcardMatch("*c", "*b"));
    EXPECT_FALSE(WildcardMatch("x*", "*x"));
}

TEST(TextFile, NeverReplacesAnExistingFileWhenWritingANewOne)
{
    test::TempDir dir;
    test::writeFile(dir.file("taken"), "user data");
    EXPECT_EQ(TextFile::writeNew(dir.file("taken"), "new"), TextFile::NewFile::Exists);
    EXPECT_EQ(test::readFile(dir.file("taken")), "user data");
    EXPECT_EQ(TextFile::writeNew(dir.file("free"), "new"), TextFile::NewFile::Written);
    EXPECT_EQ(TextFile::writeNew(dir.file("no/such/folder"), "x"), TextFile::NewFile::Failed);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2)
        << "no temporary file is left behind";
}

TEST(TextFile, ReadsOnlyRegularFilesAndNeverWaitsOnAPipe)
{
    test::TempDir dir;
    test::writeFile(dir.file("body.txt"), "<p>x</p>");
    std::string content;
    EXPECT_TRUE(TextFile::read(dir.file("body.txt"), content));
    EXPECT_EQ(content, "<p>x</p>");
    // A template chosen in a dialog or given to the tool may be any path; a pipe without a
    // writer would hold the read for ever and /dev/zero would fill the memory.
    const std::string pipe = dir.file("pipe.txt");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_FALSE(TextFile::read(pipe, content));
    EXPECT_FALSE(TextFile::read("/dev/zero", content));
    EXPECT_FALSE(TextFile::read(dir.path(), content));
}

TEST(TextFile, WritesAFileWhoseNameUsesNearlyTheWholeNameLimit)
{
    test::TempDir dir;
    const std::string longName = dir.file(std::string(250, 'k') + ".htm");
    EXPECT_TRUE(TextFile::writeReplacing(longName, "page"));
    EXPECT_EQ(test::readFile(longName), "page");
    const std::string otherName = dir.file(std::string(250, 'n') + ".vrk");
    EXPECT_EQ(TextFile::writeNew(otherName, "keywords"), TextFile::NewFile::Written);
    EXPECT_TRUE(TextFile::copyReplacing(longName, dir.file(std::string(250, 'c') + ".gif")));
}

TEST(Random, GivesTheSameUnbiasedPicksForASeedOnEveryPlatform)
{
    Random random(42);
    std::vector<int> picks;
    for (int i = 0; i < 6; ++i)
        picks.push_back(random.pick(1000));
    // The raw output of mt19937_64 is fixed by the C++ standard, so these never change.
    EXPECT_EQ(picks, (std::vector<int>{756, 434, 640, 724, 753, 57}));
    Random range(1);
    std::vector<int> seen(4);
    for (int i = 0; i < 4000; ++i)
        ++seen[static_cast<size_t>(range.pick(3))];
    EXPECT_EQ(seen[0], 0);
    for (int value = 1; value <= 3; ++value)
        EXPECT_NEAR(seen[static_cast<size_t>(value)], 1333, 150);
    EXPECT_EQ(range.pick(0), 1);
}

TEST(ParseNumber, ReadsLocaleDecimalsWithBlanksAndSigns)
{
    EXPECT_EQ(ParseNumber(" 20 ", '.'), 20.0);
    EXPECT_EQ(ParseNumber("20.5", '.'), 20.5);
    EXPECT_EQ(ParseNumber("20,5", ','), 20.5);
    EXPECT_EQ(ParseNumber("-3", '.'), -3.0);
    EXPECT_EQ(ParseNumber(".5", '.'), 0.5);
    EXPECT_FALSE(ParseNumber("20,5", '.'));
    EXPECT_FALSE(ParseNumber("zwanzig", '.'));
    EXPECT_FALSE(ParseNumber("", '.'));
    EXPECT_FALSE(ParseNumber("1.2.3", '.'));
    EXPECT_FALSE(ParseNumber("+", '.'));
}

} // namespace
} // namespace vantiro
