#include "core/keywords/KeywordFileWriter.h"
#include "support/NoHardLinkFileSystem.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace vantiro {
namespace {

using Status = KeywordFileWriter::Status;

TEST(KeywordFileWriter, CleansEveryPieceIntoOneLine)
{
    EXPECT_EQ(KeywordFileWriter::content("Auto, Auto Teile ,T.Shirt, 50%?"),
              "Auto\r\nAutoTeile\r\nTShirt\r\n50%\r\n");
    EXPECT_EQ(KeywordFileWriter::content("Auto,"), "Auto\r\n\r\n");
    EXPECT_EQ(KeywordFileWriter::content(","), "\r\n\r\n");
    EXPECT_EQ(KeywordFileWriter::content("a,,b"), "a\r\n\r\nb\r\n");
    EXPECT_EQ(KeywordFileWriter::content("\"x\";/\\@*?.,Gr\xF6\xDF"
                                         "e"),
              "x\r\nGr\xF6\xDF"
              "e\r\n");
    const std::string commas(40000, ',');
    EXPECT_EQ(KeywordFileWriter::content(commas).size(), 32001u * 2) << "pieces 0 to 32000";
}

TEST(KeywordFileWriter, RefusesTextWithoutCommaButRecreatesTheFolder)
{
    test::TempDir home;
    for (const std::string text : {"", "Auto", "    "}) {
        const auto result = KeywordFileWriter::write(home.path(), text);
        EXPECT_EQ(result.status, Status::Refused) << text;
    }
    EXPECT_TRUE(std::filesystem::is_directory(home.file("keywordfile")));
    EXPECT_TRUE(std::filesystem::is_empty(home.file("keywordfile")));
}

TEST(KeywordFileWriter, TakesTheNextFreeNameAndNeverOverwrites)
{
    test::TempDir home;
    const auto first = KeywordFileWriter::write(home.path(), "a,b");
    EXPECT_EQ(first.status, Status::Written);
    EXPECT_EQ(first.path, home.file("keywordfile/keywords.vrk"));
    EXPECT_EQ(test::readFile(first.path), "a\r\nb\r\n");

    test::writeFile(home.file("keywordfile/keywords2.vrk"), "user file");
    EXPECT_EQ(KeywordFileWriter::write(home.path(), "c,").path,
              home.file("keywordfile/keywords1.vrk"));
    EXPECT_EQ(KeywordFileWriter::write(home.path(), "d,").path,
              home.file("keywordfile/keywords3.vrk"));
    EXPECT_EQ(test::readFile(home.file("keywordfile/keywords2.vrk")), "user file");

    std::filesystem::create_directory(home.file("keywordfile/keywords4.vrk"));
    EXPECT_EQ(KeywordFileWriter::write(home.path(), "e,").path,
              home.file("keywordfile/keywords5.vrk"));
}

TEST(KeywordFileWriter, ReportsAFolderThatCannotBeWritten)
{
    test::TempDir home;
    test::writeFile(home.file("keywordfile"), "a file in the folder's place");
    const auto result = KeywordFileWriter::write(home.path(), "a,b");
    EXPECT_EQ(result.status, Status::WriteFailed);
    EXPECT_EQ(test::readFile(home.file("keywordfile")), "a file in the folder's place");
}

TEST(KeywordFileWriter, WritesNewFilesWhereHardLinksAreMissing)
{
    test::TempDir home;
    std::filesystem::create_directories(home.file("keywordfile"));
    test::writeFile(home.file("keywordfile/keywords.vrk"), "alt\r\n");
    for (const auto flags : {test::NoHardLinkFileSystem::RenameFlags::Supported,
                             test::NoHardLinkFileSystem::RenameFlags::Missing}) {
        test::NoHardLinkFileSystem fileSystem(flags);
        const auto result = KeywordFileWriter::write(home.path(), "Auto,Reifen", fileSystem);
        EXPECT_EQ(result.status, Status::Written);
        EXPECT_EQ(test::readFile(result.path), "Auto\r\nReifen\r\n");
        EXPECT_EQ(fileSystem.linkAttempts, 1);
    }
    EXPECT_EQ(test::readFile(home.file("keywordfile/keywords.vrk")), "alt\r\n");
    EXPECT_TRUE(test::exists(home.file("keywordfile/keywords1.vrk")));
    EXPECT_TRUE(test::exists(home.file("keywordfile/keywords2.vrk")));
}

} // namespace
} // namespace vantiro
