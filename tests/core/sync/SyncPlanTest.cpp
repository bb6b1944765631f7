#include "core/sync/SyncPlan.h"

#include <gtest/gtest.h>

namespace vantiro {
namespace {

const std::string one(64, '1');
const std::string two(64, '2');
const std::string three(64, '3');

UploadManifest listed(const std::string& mode, std::map<std::string, std::string> entries)
{
    UploadManifest manifest(mode);
    for (const auto& [name, digest] : entries)
        manifest.set(name, digest);
    return manifest;
}

using Names = std::vector<std::string>;

TEST(SyncPlanTest, SendsFilesWhoseDigestDiffersOrThatAreNewAndSkipsTheSame)
{
    const SyncPlan plan({{"a.htm", one}, {"b.htm", two}, {"c.htm", three}},
                        listed("ascii", {{"a.htm", one}, {"b.htm", one}}), "ascii", false);
    EXPECT_EQ(plan.toSend(), (Names{"b.htm", "c.htm"}));
    EXPECT_EQ(plan.unchanged(), 1u);
    EXPECT_TRUE(plan.toDelete().empty());
}

TEST(SyncPlanTest, AnotherWayOfSendingOrAnUnknownDigestSendsTheFileAgain)
{
    const SyncPlan otherMode({{"a.htm", one}}, listed("binary", {{"a.htm", one}}), "ascii", false);
    EXPECT_EQ(otherMode.toSend(), (Names{"a.htm"}));
    const SyncPlan empty({{"a.htm", one}}, UploadManifest(), "ascii", false);
    EXPECT_EQ(empty.toSend(), (Names{"a.htm"}));
    const SyncPlan failedBefore({{"a.htm", one}},
                                listed("ascii", {{"a.htm", UploadManifest::unknownDigest}}),
                                "ascii", false);
    EXPECT_EQ(failedBefore.toSend(), (Names{"a.htm"}));
}

TEST(SyncPlanTest, DeletesOnlyListedFilesTheLocalFolderNoLongerHoldsAndOnlyWhenAsked)
{
    const UploadManifest previous =
        listed("ascii", {{"alt.htm", one}, {"a.htm", one}, {"b-alt.htm", two}});
    const SyncPlan keep({{"a.htm", one}, {"neu.htm", two}}, previous, "ascii", false);
    EXPECT_TRUE(keep.toDelete().empty());
    const SyncPlan remove({{"a.htm", one}, {"neu.htm", two}}, previous, "ascii", true);
    EXPECT_EQ(remove.toDelete(), (Names{"alt.htm", "b-alt.htm"}));
    EXPECT_EQ(remove.toSend(), (Names{"neu.htm"}));
}

TEST(SyncPlanTest, OutcomeListsWhatArrivedAndWhatTheServerStillHolds)
{
    const UploadManifest previous = listed("ascii", {{"gleich.htm", one},
                                                     {"fehlt.htm", one},
                                                     {"geloescht.htm", one},
                                                     {"bleibt.htm", one},
                                                     {"neu-gescheitert-alt.htm", one},
                                                     {"nie.htm", one}});
    const SyncPlan plan({{"gleich.htm", one},
                         {"fehlt.htm", two},
                         {"neu.htm", two},
                         {"neu-gescheitert.htm", two},
                         {"neu-gescheitert-alt.htm", two},
                         {"nie.htm", three}},
                        previous, "ascii", true);
    const UploadManifest outcome =
        plan.outcome({"fehlt.htm", "neu.htm"}, {"neu-gescheitert.htm", "neu-gescheitert-alt.htm"},
                     {"geloescht.htm"});
    const std::map<std::string, std::string> expected = {
        {"gleich.htm", one},
        {"fehlt.htm", two},
        {"neu.htm", two},
        // Its upload failed after an earlier one arrived: still the tool's, content unknown.
        {"neu-gescheitert-alt.htm", UploadManifest::unknownDigest},
        // The run never got to it: the server still holds what was sent before.
        {"nie.htm", one},
        // Its delete failed: it is still there and still the tool's.
        {"bleibt.htm", one}};
    EXPECT_EQ(outcome.entries(), expected);
    EXPECT_EQ(outcome.mode(), "ascii");

    const SyncPlan next({{"gleich.htm", one}, {"nie.htm", three}, {"neu-gescheitert-alt.htm", two}},
                        outcome, "ascii", false);
    EXPECT_EQ(next.toSend(), (Names{"nie.htm", "neu-gescheitert-alt.htm"}))
        << "an interrupted run, run again, sends what did not arrive";
}

TEST(SyncPlanTest, OutcomeAfterAChangedWayOfSendingTrustsNoOldDigest)
{
    const SyncPlan plan({{"a.htm", one}, {"b.htm", two}},
                        listed("binary", {{"a.htm", one}, {"b.htm", two}}), "ascii", false);
    const UploadManifest outcome = plan.outcome({"a.htm"}, {}, {});
    EXPECT_EQ(outcome.entries(), (std::map<std::string, std::string>{
                                     {"a.htm", one}, {"b.htm", UploadManifest::unknownDigest}}));
}

TEST(SyncPlanTest, NameThatCouldForgeALineIsNeverListed)
{
    const std::string forged = "x.htm\n" + one + " index.htm";
    const SyncPlan plan({{forged, two}}, UploadManifest(), "ascii", true);
    const UploadManifest outcome = plan.outcome({forged}, {}, {});
    EXPECT_TRUE(outcome.entries().empty());
    EXPECT_TRUE(UploadManifest::parse(outcome.serialise()).entries().empty());
}

} // namespace
} // namespace vantiro
