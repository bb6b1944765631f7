#include "core/ftp/RemoteListing.h"
#include "FakeFtpServer.h"
#include "core/ftp/RemoteName.h"

#include <gtest/gtest.h>

namespace vantiro {
namespace {

using test::FakeFtpClient;
using test::FakeFtpServer;

constexpr std::uint32_t folder = FtpEntry::directoryAttribute;
constexpr std::uint32_t file = FtpEntry::normalAttribute;

FtpEntry entry(const std::string& name, std::uint32_t attributes, std::uint64_t size = 0)
{
    FtpEntry e;
    e.name = name;
    e.attributes = attributes;
    e.size = size;
    return e;
}

std::vector<std::string> names(const RemoteListing& listing)
{
    std::vector<std::string> result;
    for (std::size_t i = 0; i < listing.entryCount(); ++i)
        result.push_back(listing.record(i).name);
    return result;
}

class RemoteListingTest : public ::testing::Test {
protected:
    std::vector<std::string> readAndSort(const std::string& pattern = "*.*")
    {
        listing.readCurrentFolder(client, pattern);
        listing.sortListing();
        return listing.displayLines();
    }

    std::shared_ptr<FakeFtpServer> server = std::make_shared<FakeFtpServer>();
    FakeFtpClient client{server};
    RemoteListing listing;
};

TEST_F(RemoteListingTest, ShowsDotEntriesFoldersUpperCaseThenFilesLowerCaseInNameOrder)
{
    server->add("/", "Index.htm", file);
    server->add("/", "a1.htm", file);
    server->add("/", "images", folder);
    server->add("/", "B.htm", file);

    EXPECT_EQ(readAndSort(),
              (std::vector<std::string>{".", "..", "IMAGES", "a1.htm", "b.htm", "index.htm"}));
    EXPECT_EQ(names(listing),
              (std::vector<std::string>{".", "..", "images", "a1.htm", "B.htm", "Index.htm"}));
    EXPECT_EQ(listing.record(listing.entryCount()).name, "") << "the spare record stays last";
}

TEST_F(RemoteListingTest, SortsPrefixesFirstDigitsBeforeLettersAndUmlautsAfterZ)
{
    for (const char* name : {"z.htm", "\xE4pfel.htm", "ab.htm", "a.htm", "1.htm", "\xDF.htm",
                             "\xC3\xBC"
                             "ber.htm",
                             "a b.htm", "zoom", "Zoo"})
        server->add("/", name, file);

    EXPECT_EQ(readAndSort(),
              (std::vector<std::string>{".", "..", "1.htm", "a b.htm", "a.htm", "ab.htm", "z.htm",
                                        "zoo", "zoom", "\xC3\x9F.htm", "\xC3\xA4pfel.htm",
                                        "\xC3\xBC"
                                        "ber.htm"}));
}

TEST_F(RemoteListingTest, NamesDifferingOnlyInCaseEndInTheExchangeSortsOrder)
{
    for (const char* name : {"a", "A", "b", "B"})
        server->add("/", name, file);
    for (const char* name : {"x", "X", "y"})
        server->add("/", name, folder);

    readAndSort();

    EXPECT_EQ(names(listing),
              (std::vector<std::string>{".", "..", "X", "x", "y", "A", "a", "b", "B"}));
}

TEST_F(RemoteListingTest, AddListingEntryTrimsBlanksCutsAtNulAndLeavesOutFullNameFields)
{
    listing.addEntry(entry("  gap.htm  ", file));
    listing.addEntry(entry("   ", file));
    listing.addEntry(entry(std::string("cut\0rest", 8), file));
    listing.addEntry(entry(std::string(259, 'n'), file));
    listing.addEntry(entry(std::string(260, 'm'), file));
    listing.addEntry(entry(std::string("\0", 1), file));

    EXPECT_EQ(names(listing), (std::vector<std::string>{"gap.htm", "cut", std::string(259, 'n')}));
    EXPECT_EQ(listing.record(3).name, "");
}

TEST_F(RemoteListingTest, DotEntriesAreAddedWhenTheServerDidNotListThemAndNeverTwice)
{
    readAndSort();
    EXPECT_EQ(listing.displayLines(), (std::vector<std::string>{".", ".."})) << "empty folder";

    server->add("/", ".htaccess", file);
    server->add("/", "a.htm", file);
    EXPECT_EQ(readAndSort(), (std::vector<std::string>{".", "..", ".htaccess", "a.htm"}))
        << "a hidden file first, as MLSD lists it";

    server->folders["/"].clear();
    server->add("/", "a.htm", file);
    server->add("/", ".", folder);
    server->add("/", "..", folder);
    EXPECT_EQ(readAndSort(), (std::vector<std::string>{".", "..", "a.htm"}));

    server->folders["/"].clear();
    server->add("/", ".", folder);
    server->add("/", ".profile", file);
    EXPECT_EQ(readAndSort(), (std::vector<std::string>{".", "..", ".profile"}))
        << "only the missing one is added";
}

TEST_F(RemoteListingTest, PatternIsPassedWithoutSurroundingBlanks)
{
    listing.readCurrentFolder(client, "  *.htm ");
    listing.readCurrentFolder(client, "");
    EXPECT_EQ(server->calls, (std::vector<std::string>{"find *.htm", "find "}));
}

TEST_F(RemoteListingTest, OnlyThePlainDirectoryAttributeMakesAFolder)
{
    server->add("/", "ReadOnlyDir", folder | FtpEntry::readOnlyAttribute);
    server->add("/", "README.TXT", file);
    server->add("/", "Bilder", folder);

    EXPECT_EQ(readAndSort(),
              (std::vector<std::string>{".", "..", "BILDER", "readme.txt", "readonlydir"}));
    EXPECT_EQ(listing.record(3).name, "README.TXT");
}

TEST_F(RemoteListingTest, LinesAreDisplayTextWhateverTheEncodingOfTheName)
{
    server->add("/",
                "gr\xFC"
                "n",
                folder);
    server->add("/", "b\xC3\xA4ume", folder);
    server->add("/",
                "stra\xC3\x9F"
                "e",
                folder);
    server->add("/",
                "\xC3\x9C"
                "BER.HTM",
                file);
    server->add("/", "\xD6L.HTM", file);

    EXPECT_EQ(readAndSort(), (std::vector<std::string>{".", "..", "B\xC3\x84UME", "GR\xC3\x9CN",
                                                       "STRA\xC3\x9F"
                                                       "E",
                                                       "\xC3\xB6l.htm",
                                                       "\xC3\xBC"
                                                       "ber.htm"}));
}

TEST(AttributeLettersTest, ListsTheLettersOfTheKnownBitsInTableOrder)
{
    EXPECT_EQ(attributeLetters(16), "D");
    EXPECT_EQ(attributeLetters(33), "W A");
    EXPECT_EQ(attributeLetters(17), "W D");
    EXPECT_EQ(attributeLetters(0), "");
    EXPECT_EQ(attributeLetters(8 | 64 | 512), "");
    EXPECT_EQ(attributeLetters(0xFFFFFFFF), "W H S D A N T C");
}

TEST(FormatFileTimeTest, WritesWeekdayDateAndTimeWithTwoDigitMinutesOnly)
{
    EXPECT_EQ(formatFileTime({2002, 9, 2, 1, 14, 5, 59}), "Mo 2.9.2002 um 14:05");
    EXPECT_EQ(formatFileTime({2002, 9, 2, 1, 9, 7, 0}), "Mo 2.9.2002 um 9:07");
    EXPECT_EQ(formatFileTime({2003, 1, 1, 3, 0, 0, 0}), "Mi 1.1.2003 um 0:00");
    EXPECT_EQ(formatFileTime({2024, 12, 29, 0, 23, 59, 0}), "So 29.12.2024 um 23:59");
    EXPECT_EQ(formatFileTime({2024, 12, 28, 6, 10, 10, 0}), "Sa 28.12.2024 um 10:10");
}

TEST(RemoteNameTest, OnlyPlainNamesAreSafeForLocalPaths)
{
    EXPECT_TRUE(isSafeLocalName("index.htm"));
    EXPECT_TRUE(isSafeLocalName("..versteckt"));
    EXPECT_TRUE(isSafeLocalName("a b;rm -rf ~"));
    for (const std::string& name :
         {std::string(), std::string("."), std::string(".."), std::string("../x"),
          std::string("a/b"), std::string("a\\b"), std::string("x\0y", 3), std::string("/etc")})
        EXPECT_FALSE(isSafeLocalName(name)) << name;
}

TEST(RemoteNameTest, RecognisesOnlyWellFormedUtf8)
{
    EXPECT_TRUE(isUtf8("plain"));
    EXPECT_TRUE(isUtf8("\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80"));
    EXPECT_FALSE(isUtf8("gr\xFCn"));
    EXPECT_FALSE(isUtf8("\xC0\xAF")) << "overlong";
    EXPECT_FALSE(isUtf8("\xED\xA0\x80")) << "surrogate";
    EXPECT_FALSE(isUtf8("\xC3")) << "cut short";
}

} // namespace
} // namespace vantiro
