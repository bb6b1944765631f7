#include "platform/FileDigest.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace vantiro {
namespace {

// The test vectors of FIPS 180-2.
TEST(FileDigestTest, Sha256OfBytesMatchesThePublishedVectors)
{
    EXPECT_EQ(FileDigest::sha256(""),
              "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(FileDigest::sha256("abc"),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(FileDigest::sha256("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
}

TEST(FileDigestTest, Sha256OfAFileLargerThanOneReadEqualsThatOfItsBytes)
{
    test::TempDir folder;
    test::writeFile(folder.file("million"), std::string(1000000, 'a'));
    EXPECT_EQ(FileDigest::sha256OfFile(folder.file("million")),
              "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
    const std::string binary("GIF89a\0\r\n\xFF", 10);
    test::writeFile(folder.file("bild.gif"), binary);
    EXPECT_EQ(FileDigest::sha256OfFile(folder.file("bild.gif")), FileDigest::sha256(binary));
    EXPECT_EQ(FileDigest::sha256OfFile(folder.file("fehlt")), std::nullopt);
    EXPECT_EQ(FileDigest::sha256OfFile(folder.path()), std::nullopt) << "a folder is no file";
}

} // namespace
} // namespace vantiro
