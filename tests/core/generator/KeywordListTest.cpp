#include "core/generator/KeywordList.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace vantiro {
namespace {

KeywordList readContent(const std::string& content, KeywordList::ReadResult* result = nullptr)
{
    test::TempDir dir;
    test::writeFile(dir.file("k.vrk"), content);
    KeywordList list;
    const KeywordList::ReadResult read = list.read(dir.file("k.vrk"));
    if (result)
        *result = read;
    return list;
}

std::vector<std::string> all(const KeywordList& list)
{
    std::vector<std::string> entries;
    for (int i = 1; i <= list.count(); ++i)
        entries.push_back(list.at(i));
    return entries;
}

TEST(KeywordList, TrimsBlanksSkipsEmptyLinesAndSplitsAtCrLfAndLoneCr)
{
    EXPECT_EQ(all(readContent("Auto\r\n\r\n  Reifen  \r\n   \r\n")),
              (std::vector<std::string>{"Auto", "Reifen"}));
    EXPECT_EQ(all(readContent("a\rb\r\rc")), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(all(readContent("a\nb\r\n\tc\t")), (std::vector<std::string>{"a\nb", "\tc\t"}));
    EXPECT_EQ(all(readContent(std::string(5'000'000, ' ') + "x" + std::string(1000, ' '))),
              (std::vector<std::string>{"x"}));
}

TEST(KeywordList, ReadsAtMostThirtyTwoThousandKeywordsAndIgnoresTheRest)
{
    std::string content;
    for (int i = 1; i <= 40000; ++i)
        content += "k" + std::to_string(i) + "\r\n";
    content += std::string(1000, 'x') + std::string(1, '\0');
    KeywordList::ReadResult result;
    const KeywordList list = readContent(content, &result);
    EXPECT_EQ(result.status, KeywordList::Status::Ok);
    EXPECT_EQ(list.count(), 32000);
    EXPECT_EQ(list.at(32000), "k32000");
}

TEST(KeywordList, ReadsLongLinesAsOtherKeywordsUpToWhatTheKeywordDialogWrites)
{
    KeywordList::ReadResult result;
    const std::string longest(KeywordList::maxKeywordLength, 'y');
    EXPECT_EQ(
        all(readContent("a\r\n" + std::string(300, 'x') + "\r\n  " + longest + "  \r\nb", &result)),
        (std::vector<std::string>{"a", std::string(300, 'x'), longest, "b"}));
    EXPECT_EQ(result.status, KeywordList::Status::Ok);
}

TEST(KeywordList, RefusesBinaryAndHugeLinesAndMissingFiles)
{
    KeywordList::ReadResult result;
    readContent(std::string("a\r\nb\0", 5), &result);
    EXPECT_EQ(result.status, KeywordList::Status::Binary);
    EXPECT_EQ(result.lineNumber, 2);
    readContent("a\r\n" + std::string(100'000'000, 'y'), &result);
    EXPECT_EQ(result.status, KeywordList::Status::LineTooLong);
    EXPECT_EQ(result.lineNumber, 2);
    readContent(std::string(KeywordList::maxKeywordLength + 1, 'y'), &result);
    EXPECT_EQ(result.status, KeywordList::Status::LineTooLong);
    KeywordList list;
    EXPECT_EQ(list.read("/nonexistent/k.vrk").status, KeywordList::Status::CannotOpen);
    EXPECT_EQ(list.at(1), "");
}

TEST(KeywordList, RefusesFoldersPipesAndDevicesWithoutWaiting)
{
    test::TempDir dir;
    const std::string pipe = dir.file("pipe.vrk");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    KeywordList list;
    // A pipe without a writer would block a plain open for ever.
    EXPECT_EQ(list.read(pipe).status, KeywordList::Status::CannotOpen);
    EXPECT_EQ(list.read(dir.path()).status, KeywordList::Status::CannotOpen);
    EXPECT_EQ(list.read("/dev/zero").status, KeywordList::Status::CannotOpen);
    EXPECT_EQ(list.count(), 0);
}

} // namespace
} // namespace vantiro
