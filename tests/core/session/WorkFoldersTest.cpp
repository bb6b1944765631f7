#include "core/session/WorkFolders.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace vantiro {
namespace {

using test::TempDir;

TEST(WorkFolders, ProgramFolderBelowAFreshHomeIsMadeWithItsParents)
{
    TempDir home;
    const std::string program = home.file(".local/share/vantiro");
    EXPECT_TRUE(WorkFolders::create(program));
    for (const char* folder : WorkFolders::all)
        EXPECT_TRUE(std::filesystem::is_directory(WorkFolders::path(program, folder))) << folder;
}

TEST(WorkFolders, FolderThatCannotBeMadeIsReportedAndTheOthersStillCome)
{
    TempDir program;
    test::writeFile(program.file("keywordfile"), "a file where the folder belongs");
    EXPECT_FALSE(WorkFolders::create(program.path()));
    EXPECT_TRUE(std::filesystem::is_directory(program.file("doorpages/images")));
    EXPECT_TRUE(std::filesystem::is_directory(program.file("vorlagen")));
    EXPECT_TRUE(std::filesystem::is_regular_file(program.file("keywordfile")));
}

} // namespace
} // namespace vantiro
