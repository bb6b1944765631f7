#include "core/ftp/ExchangeSort.h"
#include "FakeFtpServer.h"
#include "core/ftp/RemoteListing.h"
#include "core/ftp/RemoteName.h"

#include <gtest/gtest.h>

#include <chrono>
#include <numeric>
#include <random>

namespace vantiro {
namespace {

// The listing's sort exactly as it was first written: every pair, keys padded with blanks to
// the name field's width and compared as whole strings.
std::vector<std::size_t> literalExchangeSortOrder(const std::vector<std::u32string>& keys)
{
    std::vector<std::u32string> padded;
    for (std::u32string key : keys) {
        key.resize(RemoteListing::nameFieldWidth, U' ');
        padded.push_back(key);
    }
    std::vector<std::size_t> order(keys.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    const std::size_t m = keys.size();
    for (std::size_t i = 0; i < m; ++i) {
        for (std::size_t j = 0; j < m; ++j) {
            if (padded[order[j]] > padded[order[i]])
                std::swap(order[i], order[j]);
        }
    }
    return order;
}

TEST(ExchangeSortTest, GivesTheLiteralLoopsOrderOnRandomListsWithManyEqualKeys)
{
    // Few distinct keys, so most keys have equals; prefixes of each other and control
    // characters below the blank test the padding.
    const std::vector<std::u32string> pool = {U"a",     U"ab", U"a\x01", U"b",  U"a ",
                                              U"\x1b[", U"",   U"\xe4",  U"z9", U"ab "};
    std::mt19937 random(20261206);
    for (int round = 0; round < 400; ++round) {
        const std::size_t m = random() % 40;
        const std::size_t distinct = 1 + random() % pool.size();
        std::vector<std::u32string> keys;
        for (std::size_t k = 0; k < m; ++k)
            keys.push_back(pool[random() % distinct]);
        ASSERT_EQ(exchangeSortOrder(keys), literalExchangeSortOrder(keys)) << "round " << round;
    }
}

TEST(ExchangeSortTest, GivesTheLiteralLoopsOrderOnLongerListsOfMixedRuns)
{
    std::mt19937 random(7);
    for (const std::size_t m : {200, 333, 500}) {
        std::vector<std::u32string> keys;
        for (std::size_t k = 0; k < m; ++k)
            keys.push_back(
                std::u32string(1 + random() % 3, static_cast<char32_t>(U'a' + random() % 7)));
        EXPECT_EQ(exchangeSortOrder(keys), literalExchangeSortOrder(keys)) << m << " keys";
    }
}

TEST(ExchangeSortTest, BlankPaddingOrdersControlCharactersBeforeTheEndOfAKey)
{
    EXPECT_TRUE(paddedKeyLess(U"a\x01", U"a"));
    EXPECT_TRUE(paddedKeyLess(U"a", U"a!"));
    EXPECT_FALSE(paddedKeyLess(U"a", U"a "));
    EXPECT_FALSE(paddedKeyLess(U"a ", U"a"));
}

class HostileListingTest : public ::testing::Test {
protected:
    using Clock = std::chrono::steady_clock;

    std::shared_ptr<test::FakeFtpServer> server = std::make_shared<test::FakeFtpServer>();
    test::FakeFtpClient client{server};
    RemoteListing listing;
};

// Generous limits: the literal sort needed minutes for these sizes, the fast one a fraction of
// a second; a limit of seconds tells the two apart on any machine.
TEST_F(HostileListingTest, TenThousandsOfEntriesWithEscapesAndOtherEncodingsListInSeconds)
{
    std::vector<FtpEntry>& entries = server->folders["/"];
    for (std::size_t k = 0; k < 120000; ++k) {
        FtpEntry entry;
        entry.attributes = k % 10 == 0 ? FtpEntry::directoryAttribute : FtpEntry::normalAttribute;
        switch (k % 4) {
        case 0:
            entry.name = "seite" + std::to_string(k % 5000) + ".htm";
            break; // many equals
        case 1:
            entry.name = "\x1b]0;titel\x07" + std::to_string(k);
            break;
        case 2:
            entry.name = "caf\xE9\x96"
                         "bar" +
                         std::to_string(k % 300);
            break;
        default:
            entry.name = (k % 8 == 3 ? "SEITE" : "Seite") + std::to_string(k % 5000) + ".HTM";
        }
        entries.push_back(entry);
    }

    const auto start = Clock::now();
    listing.readCurrentFolder(client, "*.*");
    listing.sortListing();
    const std::vector<std::string> lines = listing.displayLines();
    const auto seconds = std::chrono::duration<double>(Clock::now() - start).count();

    EXPECT_LT(seconds, 20.0);
    ASSERT_EQ(lines.size(), 120002u);
    EXPECT_EQ(listing.leftOut(), 0u);
    for (std::size_t k = 1; k < listing.entryCount(); ++k) {
        const FtpEntry& before = listing.record(k - 1);
        const FtpEntry& after = listing.record(k);
        if (RemoteListing::isFolder(before) == RemoteListing::isFolder(after)) {
            ASSERT_FALSE(paddedKeyLess(nameSortKey(after.name), nameSortKey(before.name))) << k;
        }
    }
    for (const std::string& line : lines)
        ASSERT_TRUE(isUtf8(line)) << line;
}

TEST_F(HostileListingTest, ListingBeyondTheLimitIsCutAndSaysHowManyAreLeftOut)
{
    std::vector<FtpEntry>& entries = server->folders["/"];
    for (std::size_t k = 0; k < RemoteListing::maxEntries + 5; ++k) {
        FtpEntry entry;
        entry.attributes = FtpEntry::normalAttribute;
        entry.name = "f" + std::to_string(k);
        entries.push_back(entry);
    }

    listing.readCurrentFolder(client, "*.*");

    EXPECT_EQ(listing.entryCount(), RemoteListing::maxEntries + 2) << "and the dot entries";
    EXPECT_EQ(listing.leftOut(), 5u);
    listing.fill({});
    EXPECT_EQ(listing.leftOut(), 0u) << "a new reading starts afresh";
}

TEST(RemoteNameTest, NamesAreReadOnceByTheirOwnEncodingAndCaseMappedAsText)
{
    // Windows-1252 "café–bar": the upper-cased bytes must not be read as UTF-8 afterwards.
    EXPECT_EQ(upperCaseText("caf\xE9\x96"
                            "bar"),
              "CAF\xC3\x89\xE2\x80\x93"
              "BAR");
    EXPECT_EQ(lowerCaseText("STRA\xC3\x9F"
                            "E"),
              "stra\xC3\x9F"
              "e");
    EXPECT_EQ(lowerCaseText("\xC3\x9C"
                            "BER"),
              "\xC3\xBC"
              "ber");
    EXPECT_EQ(upperCaseText("\x1b[2J"), "\x1b[2J") << "control characters stay for the printer";
}

} // namespace
} // namespace vantiro
