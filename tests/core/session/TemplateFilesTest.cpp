#include "core/session/TemplateFiles.h"
#include "support/NoHardLinkFileSystem.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace vantiro {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;
using Status = TemplateFiles::SaveStatus;

TEST(TemplateFiles, SavesUnderTheSmallestFreeNumberAndFillsGaps)
{
    TempDir program;
    const TemplateFiles::SaveResult first = TemplateFiles::save(program.path(), "eins");
    EXPECT_EQ(first.status, Status::Written);
    EXPECT_EQ(first.path, program.file("vorlagen/vorlage1.vrv")) << "vorlagen is created";
    EXPECT_EQ(TemplateFiles::save(program.path(), "zwei").path,
              program.file("vorlagen/vorlage2.vrv"));

    std::filesystem::remove(program.file("vorlagen/vorlage1.vrv"));
    std::filesystem::create_directory(program.file("vorlagen/vorlage3.vrv"));
    writeFile(program.file("vorlagen/vorlage4.vrv"), "vier");
    EXPECT_EQ(TemplateFiles::save(program.path(), "wieder eins").path,
              program.file("vorlagen/vorlage1.vrv"));
    EXPECT_EQ(TemplateFiles::save(program.path(), "fünf").path,
              program.file("vorlagen/vorlage5.vrv"))
        << "a folder named like a template is passed over";
    EXPECT_EQ(readFile(program.file("vorlagen/vorlage4.vrv")), "vier");
    EXPECT_EQ(readFile(program.file("vorlagen/vorlage2.vrv")), "zwei\r\n\r\n");
}

TEST(TemplateFiles, EmptyBodyIsSavedAsTwoLineBreaks)
{
    TempDir program;
    const TemplateFiles::SaveResult saved = TemplateFiles::save(program.path(), "");
    EXPECT_EQ(readFile(saved.path), "\r\n\r\n");
    EXPECT_EQ(TemplateFiles::load(saved.path), "\r\n\r\n");
}

TEST(TemplateFiles, UnwritableFolderReportsTheFileThatWasTried)
{
    TempDir program;
    writeFile(program.file("vorlagen"), "a file where the folder should be");
    const TemplateFiles::SaveResult saved = TemplateFiles::save(program.path(), "body");
    EXPECT_EQ(saved.status, Status::WriteFailed);
    EXPECT_EQ(saved.path, program.file("vorlagen/vorlage1.vrv"));
    EXPECT_EQ(readFile(program.file("vorlagen")), "a file where the folder should be");
}

TEST(TemplateFiles, ReadingEndsLinesAtCrLfOrLoneCrAndKeepsLoneLf)
{
    EXPECT_EQ(TemplateFiles::linesWithCrLf(""), "");
    EXPECT_EQ(TemplateFiles::linesWithCrLf("a"), "a\r\n");
    EXPECT_EQ(TemplateFiles::linesWithCrLf("a\r\n"), "a\r\n");
    EXPECT_EQ(TemplateFiles::linesWithCrLf("a\r\nb"), "a\r\nb\r\n");
    EXPECT_EQ(TemplateFiles::linesWithCrLf("a\rb\r"), "a\r\nb\r\n");
    EXPECT_EQ(TemplateFiles::linesWithCrLf("a\nb\r\n"), "a\nb\r\n");
    EXPECT_EQ(TemplateFiles::linesWithCrLf("\r\n\r\n"), "\r\n\r\n");
    EXPECT_EQ(TemplateFiles::linesWithCrLf("\n"), "\n\r\n");
}

TEST(TemplateFiles, LoadAnswersNothingForAFileThatCannotBeRead)
{
    TempDir program;
    EXPECT_FALSE(TemplateFiles::load(program.file("fehlt.vrv")).has_value());
    EXPECT_FALSE(TemplateFiles::load(program.path()).has_value()) << "a folder is no template";
}

TEST(TemplateFiles, OnlyVisibleVrvFilesCountAsTemplates)
{
    TempDir program;
    EXPECT_FALSE(TemplateFiles::anyExists(program.path())) << "no vorlagen folder";
    std::filesystem::create_directory(program.file("vorlagen"));
    writeFile(program.file("vorlagen/.versteckt.vrv"), "x");
    writeFile(program.file("vorlagen/notiz.txt"), "x");
    std::filesystem::create_directory(program.file("vorlagen/ordner.vrv"));
    EXPECT_FALSE(TemplateFiles::anyExists(program.path()));
    writeFile(program.file("vorlagen/eigene.vrv"), "x");
    EXPECT_TRUE(TemplateFiles::anyExists(program.path()));
}

TEST(TemplateFiles, SavesWhereHardLinksAreMissingWithoutReplacingATemplate)
{
    TempDir program;
    test::NoHardLinkFileSystem fileSystem(test::NoHardLinkFileSystem::RenameFlags::Missing);
    std::filesystem::create_directories(program.file("vorlagen"));
    writeFile(program.file("vorlagen/vorlage1.vrv"), "eigene");
    const TemplateFiles::SaveResult saved = TemplateFiles::save(program.path(), "neu", fileSystem);
    EXPECT_EQ(saved.status, Status::Written);
    EXPECT_EQ(saved.path, program.file("vorlagen/vorlage2.vrv"));
    EXPECT_EQ(readFile(saved.path), "neu\r\n\r\n");
    EXPECT_EQ(readFile(program.file("vorlagen/vorlage1.vrv")), "eigene");
    EXPECT_EQ(fileSystem.linkAttempts, 1);
}

} // namespace
} // namespace vantiro
