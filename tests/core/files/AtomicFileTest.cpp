#include "core/files/AtomicFile.h"
#include "core/generator/TextFile.h"
#include "support/NoHardLinkFileSystem.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

namespace vantiro {
namespace {

namespace fs = std::filesystem;
using test::NoHardLinkFileSystem;
using RenameFlags = NoHardLinkFileSystem::RenameFlags;

std::set<std::string> namesIn(const std::string& folder)
{
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

class WithoutHardLinks : public ::testing::TestWithParam<RenameFlags> {};

TEST_P(WithoutHardLinks, NewFilesAreWrittenAndExistingOnesNeverReplaced)
{
    test::TempDir dir;
    NoHardLinkFileSystem fileSystem(GetParam());
    test::writeFile(dir.file("taken.vrk"), "user's keywords");
    fs::create_directory(dir.file("folder.vrk"));

    EXPECT_EQ(TextFile::writeNew(dir.file("free.vrk"), "Auto\r\n", fileSystem),
              TextFile::NewFile::Written);
    EXPECT_EQ(TextFile::writeNew(dir.file("taken.vrk"), "new", fileSystem),
              TextFile::NewFile::Exists);
    EXPECT_EQ(TextFile::writeNew(dir.file("folder.vrk"), "new", fileSystem),
              TextFile::NewFile::Exists);
    EXPECT_GT(fileSystem.linkAttempts, 0) << "hard links were tried first";

    EXPECT_EQ(test::readFile(dir.file("free.vrk")), "Auto\r\n");
    EXPECT_EQ(test::readFile(dir.file("taken.vrk")), "user's keywords");
    EXPECT_TRUE(fs::is_empty(dir.file("folder.vrk")));
    EXPECT_EQ(namesIn(dir.path()), (std::set<std::string>{"folder.vrk", "free.vrk", "taken.vrk"}))
        << "no temporary file is left behind";
}

INSTANTIATE_TEST_SUITE_P(AtomicFile, WithoutHardLinks,
                         ::testing::Values(RenameFlags::Supported, RenameFlags::Missing));

// Without link() and rename flags the name is claimed by an empty file first; a move that then
// fails must take that claim away again rather than leave an empty keyword file.
class FailingRename final : public FileSystem {
public:
    int link(const std::string&, const std::string&) override { return refuse(EPERM); }
    int renameNoReplace(const std::string&, const std::string&) override { return refuse(EINVAL); }
    int rename(const std::string&, const std::string&) override { return refuse(EIO); }

private:
    static int refuse(int error)
    {
        errno = error;
        return -1;
    }
};

TEST(AtomicFile, AFailedMoveAfterClaimingTheNameLeavesNothing)
{
    test::TempDir dir;
    FailingRename fileSystem;
    EXPECT_EQ(TextFile::writeNew(dir.file("keywords.vrk"), "Auto\r\n", fileSystem),
              TextFile::NewFile::Failed);
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

// A file system that takes at most a few bytes per call, as a pipe or a full disk can.
class ShortWrites final : public FileSystem {
public:
    ssize_t writev(int fd, const iovec* vectors, int count) override
    {
        ++calls;
        const iovec first{vectors[0].iov_base, std::min<size_t>(vectors[0].iov_len, 3)};
        return count > 0 ? FileSystem::writev(fd, &first, 1) : 0;
    }
    int calls = 0;
};

TEST(AtomicFile, ShortWritesAreResumedWhereTheyStopped)
{
    test::TempDir dir;
    ShortWrites fileSystem;
    const std::vector<std::string_view> parts = {"<HTML>", "", "\r\n", "<BODY>Auto</BODY>",
                                                 "\r\n</HTML>"};
    ASSERT_EQ(AtomicFile::writeWhole(dir.file("page.htm"), parts, AtomicFile::Placement::Replace,
                                     fileSystem),
              0);
    EXPECT_EQ(test::readFile(dir.file("page.htm")), "<HTML>\r\n<BODY>Auto</BODY>\r\n</HTML>");
    EXPECT_GT(fileSystem.calls, 5);
}

TEST(AtomicFile, ReplacingTakesThePlaceOfTheOldFileAndAMissingFolderFails)
{
    test::TempDir dir;
    test::writeFile(dir.file("page.htm"), "old");
    ASSERT_EQ(AtomicFile::writeWhole(dir.file("page.htm"), {"new"}, AtomicFile::Placement::Replace),
              0);
    EXPECT_EQ(test::readFile(dir.file("page.htm")), "new");
    EXPECT_EQ(
        AtomicFile::writeWhole(dir.file("missing/page.htm"), {"x"}, AtomicFile::Placement::Replace),
        ENOENT);
    EXPECT_EQ(namesIn(dir.path()), std::set<std::string>{"page.htm"});
}

} // namespace
} // namespace vantiro
