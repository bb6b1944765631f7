#include "core/generator/NumberText.h"
#include "core/generator/Random.h"
#include "core/generator/TextFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

namespace vantiro {
namespace {

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
    EXPECT_EQ(parseNumber(" 20 ", '.'), 20.0);
    EXPECT_EQ(parseNumber("20.5", '.'), 20.5);
    EXPECT_EQ(parseNumber("20,5", ','), 20.5);
    EXPECT_EQ(parseNumber("-3", '.'), -3.0);
    EXPECT_EQ(parseNumber(".5", '.'), 0.5);
    EXPECT_FALSE(parseNumber("20,5", '.'));
    EXPECT_FALSE(parseNumber("zwanzig", '.'));
    EXPECT_FALSE(parseNumber("", '.'));
    EXPECT_FALSE(parseNumber("1.2.3", '.'));
    EXPECT_FALSE(parseNumber("+", '.'));
}

} // namespace
} // namespace vantiro
