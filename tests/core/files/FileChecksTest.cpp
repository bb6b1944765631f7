#include "core/files/FileChecks.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace vantiro {
namespace {

TEST(FileChecks, TellFilesFromFoldersAndHonourWildcards)
{
    test::TempDir dir;
    std::filesystem::create_directory(dir.file("folder"));
    test::writeFile(dir.file("keywords.vrk"), "x");
    test::writeFile(dir.file(".hidden.vrk"), "x");
    EXPECT_TRUE(folderExists(dir.file("folder")));
    EXPECT_FALSE(folderExists(dir.file("keywords.vrk")));
    EXPECT_TRUE(fileExists(dir.file("keywords.vrk")));
    EXPECT_FALSE(fileExists(dir.file("folder")));
    EXPECT_FALSE(fileExists(dir.file(".hidden.vrk")));
    EXPECT_TRUE(fileExists(dir.file("*.VRK")));
    EXPECT_FALSE(fileExists(dir.file("*.vrv")));
    EXPECT_FALSE(fileExists(dir.file("missing/*.vrk")));
}

TEST(FileChecks, WildcardsFindFilesWhoseNamesHoldStarsOrQuestionMarks)
{
    test::TempDir dir;
    test::writeFile(dir.file("a*b.vrk"), "x");
    test::writeFile(dir.file("wer?.vrv"), "x");
    EXPECT_TRUE(fileExists(dir.file("*.vrk")));
    EXPECT_TRUE(fileExists(dir.file("*b.vrk")));
    EXPECT_TRUE(fileExists(dir.file("a*")));
    EXPECT_TRUE(fileExists(dir.file("*?.vrv")));
    EXPECT_FALSE(fileExists(dir.file("*c.vrk")));
}

} // namespace
} // namespace vantiro
