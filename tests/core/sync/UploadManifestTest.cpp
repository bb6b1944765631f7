#include "core/sync/UploadManifest.h"

#include <gtest/gtest.h>

#include <vector>

namespace vantiro {
namespace {

const std::string a(64, 'a');
const std::string b = "0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef";

TEST(UploadManifestTest, WritesOneSortedLinePerFileAfterTheHeaderAndReadsItBack)
{
    UploadManifest manifest("ascii");
    manifest.set("seite 2.htm", b);
    manifest.set("_keyliste.htm", a);
    const std::string text = manifest.serialise();
    EXPECT_EQ(text, "vantiro-sync 1 ascii\n" + a + " _keyliste.htm\n" + b + " seite 2.htm\n");
    EXPECT_EQ(UploadManifest::parse(text), manifest);
}

TEST(UploadManifestTest, HeaderThatIsMissingOrOfAnotherVersionGivesAnEmptyList)
{
    const std::vector<std::string> texts = {
        std::string(), a + " index.htm\n", "vantiro-sync 2 ascii\n" + a + " index.htm\n",
        "vantiro-sync 1 ebcdic\n" + a + " index.htm\n", std::string("VANTIRO-SYNC 1 binary\n")};
    for (const std::string& text : texts) {
        const UploadManifest manifest = UploadManifest::parse(text);
        EXPECT_TRUE(manifest.entries().empty()) << text;
        EXPECT_EQ(manifest.mode(), "") << text;
    }
}

TEST(UploadManifestTest, LinesThatDoNotFitAreSkippedAndTheOthersKept)
{
    const std::string text =
        "vantiro-sync 1 binary\r\n" + std::string(63, 'a') + " kurz.htm\n" + // digest too short
        std::string(64, 'g') + " nichthex.htm\n" +                           // not hex
        a + "\tohneleer.htm\n" +                                             // no space
        a + " \n" +                                                          // no name
        a + " ../oben.htm\n" +                                               // a path
        a + " ordner/seite.htm\n" + a + " ordner\\seite.htm\n" + a +
        " .htaccess\n" +          // not the tool's
        a + " mit\x1b[2J.htm\n" + // control character
        a + " mit\x7f.htm\n" + "Freitext ohne Sinn\n" + "ABCDEF" + std::string(58, '0') +
        " gross.htm\r\n" + b + " gut mit leer.htm"; // no final line end
    const UploadManifest manifest = UploadManifest::parse(text);
    EXPECT_EQ(manifest.mode(), "binary");
    const std::map<std::string, std::string> expected = {
        {"gross.htm", "abcdef" + std::string(58, '0')}, {"gut mit leer.htm", b}};
    EXPECT_EQ(manifest.entries(), expected);
}

TEST(UploadManifestTest, ListLargerThanTheBoundIsNotReadAtAll)
{
    std::string text = "vantiro-sync 1 ascii\n" + a + " index.htm\n";
    text.resize(UploadManifest::largestSize + 1, '\n');
    EXPECT_TRUE(UploadManifest::parse(text).entries().empty());
    text.resize(UploadManifest::largestSize);
    EXPECT_EQ(UploadManifest::parse(text).entries().size(), 1u);
}

TEST(UploadManifestTest, NamesOfTheToolAreAcceptedAndOthersRefused)
{
    for (const std::string name : {"index.htm", "seite 1.htm", "b\xE4r.htm", "a..b", "x"})
        EXPECT_TRUE(UploadManifest::acceptableName(name)) << name;
    const std::vector<std::string> refused = {std::string(),
                                              std::string("."),
                                              std::string(".."),
                                              std::string(".htvantiro-sync"),
                                              "a/b",
                                              "/",
                                              "a\\b",
                                              "a\nb",
                                              "a\rb",
                                              std::string("a\0b", 3)};
    for (const std::string& name : refused)
        EXPECT_FALSE(UploadManifest::acceptableName(name)) << name;
}

} // namespace
} // namespace vantiro
