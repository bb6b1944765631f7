#include "app/ProgramFolder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace vantiro::test {
namespace {

QString q(const std::string& path)
{
    return QString::fromStdString(path);
}

TEST(ProgramFolder, WritableExecutableFolderIsTheProgramFolder)
{
    TempDir executable;
    TempDir data;
    const ProgramPaths paths = ProgramFolder::choose(q(executable.path()), q(data.file("vantiro")));
    EXPECT_EQ(paths.programFolder, q(executable.path()));
    EXPECT_EQ(paths.executableFolder, q(executable.path()));
    EXPECT_FALSE(exists(data.file("vantiro")));
    EXPECT_TRUE(std::filesystem::is_empty(executable.path())) << "the probe leaves nothing";
}

TEST(ProgramFolder, FolderThatCannotTakeFilesGivesWayToTheDataFolder)
{
    TempDir place;
    writeFile(place.file("datei"), "");
    // Even root cannot create files below a plain file.
    const QString executable = q(place.file("datei/bin"));
    const ProgramPaths paths = ProgramFolder::choose(executable, q(place.file("daten/vantiro")));
    EXPECT_EQ(paths.programFolder, q(place.file("daten/vantiro")));
    EXPECT_EQ(paths.executableFolder, executable);
    EXPECT_TRUE(std::filesystem::is_directory(place.file("daten/vantiro")));
}

TEST(ProgramFolder, PixelFileOfTheProgramFolderWinsOverTheShippedOne)
{
    TempDir program;
    TempDir executable;
    const ProgramPaths paths{q(program.path()), q(executable.path())};
    EXPECT_EQ(ProgramFolder::pixelFile(paths), q(program.file("vtr.gif"))) << "neither exists";
    writeFile(executable.file("vtr.gif"), "shipped");
    EXPECT_EQ(ProgramFolder::pixelFile(paths), q(executable.file("vtr.gif")));
    writeFile(program.file("vtr.gif"), "own");
    EXPECT_EQ(ProgramFolder::pixelFile(paths), q(program.file("vtr.gif")));

    EXPECT_EQ(ProgramFolder::helpPage(paths), QString());
    writeFile(executable.file("hilfe.html"), "<html></html>");
    EXPECT_EQ(ProgramFolder::helpPage(paths), q(executable.file("hilfe.html")));
}

} // namespace
} // namespace vantiro::test
