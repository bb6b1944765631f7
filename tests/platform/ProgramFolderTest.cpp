#include "platform/ProgramFolder.h"
#include "support/ScopedEnvironment.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace vantiro::test {
namespace {

TEST(ProgramFolder, MarkedFolderIsPortableAndKeepsItsWorkFoldersBesideTheExecutable)
{
    TempDir executable;
    TempDir data;
    writeFile(executable.file(ProgramFolder::portableMarker), "");
    const ProgramPaths paths =
        ProgramFolder::choose(executable.path(), data.path(), "/usr/share/vantiro");
    EXPECT_EQ(paths.programFolder, executable.path());
    EXPECT_EQ(paths.shippedFolders,
              (std::vector<std::string>{executable.path(), "/usr/share/vantiro"}));
}

TEST(ProgramFolder, UnmarkedFolderWorksInTheUsersDataFolderEvenWhenWritable)
{
    TempDir executable;
    TempDir data;
    const ProgramPaths paths =
        ProgramFolder::choose(executable.path(), data.path(), data.file("share"));
    EXPECT_EQ(paths.programFolder, data.file("vantiro"));
    EXPECT_EQ(paths.shippedFolders, std::vector<std::string>{data.file("share")});
    EXPECT_TRUE(std::filesystem::is_empty(executable.path())) << "nothing written beside it";
}

TEST(ProgramFolder, ShippedFilesComeFromTheProgramFolderFirstThenTheShippedFolders)
{
    TempDir program;
    TempDir build;
    TempDir installed;
    const ProgramPaths paths{program.path(), {build.path(), installed.path()}};
    EXPECT_EQ(ProgramFolder::pixelFile(paths), program.file("vtr.gif")) << "none exists";
    EXPECT_EQ(ProgramFolder::helpPage(paths), "");

    writeFile(installed.file("vtr.gif"), "installed");
    writeFile(installed.file("hilfe.html"), "<html></html>");
    EXPECT_EQ(ProgramFolder::pixelFile(paths), installed.file("vtr.gif"));
    EXPECT_EQ(ProgramFolder::helpPage(paths), installed.file("hilfe.html"));

    writeFile(build.file("vtr.gif"), "build");
    EXPECT_EQ(ProgramFolder::pixelFile(paths), build.file("vtr.gif"));
    writeFile(program.file("vtr.gif"), "own");
    EXPECT_EQ(ProgramFolder::pixelFile(paths), program.file("vtr.gif"));
}

TEST(ProgramFolder, DataHomeFollowsXdgOnlyWhenItIsAnAbsolutePath)
{
    ScopedEnvironment environment{{"HOME", "/home/nutzer"}, {"XDG_DATA_HOME", "/daten"}};
    EXPECT_EQ(ProgramFolder::dataHome(), "/daten");
    environment.set("XDG_DATA_HOME", "relativ");
    EXPECT_EQ(ProgramFolder::dataHome(), "/home/nutzer/.local/share");
    environment.set("XDG_DATA_HOME", std::nullopt);
    EXPECT_EQ(ProgramFolder::dataHome(), "/home/nutzer/.local/share");
}

} // namespace
} // namespace vantiro::test
