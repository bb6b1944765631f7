#include "platform/HostTrust.h"
#include "platform/FtpServerAddress.h"
#include "platform/HostFingerprint.h"
#include "platform/KnownHosts.h"
#include "platform/TrustedKeyStore.h"
#include "support/ScopedEnvironment.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantiro {
namespace {

using Scheme = FtpServerAddress::Scheme;
using test::TempDir;

const std::string someKey = "SHA256:47DEQpj8HBSa+/TImW+5JCeuQeRkm5NMpJWZG3hSuFU";
const std::string otherKey = "SHA256:AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA";
// The same SHA-256 of nothing, as hex pairs.
const std::string someHex = "E3:B0:C4:42:98:FC:1C:14:9A:FB:F4:C8:99:6F:B9:24:"
                            "27:AE:41:E4:64:9B:93:4C:A4:95:99:1B:78:52:B8:55";

TEST(ServerAddressSchemeTest, SchemeChoosesTheConnectionAndItsDefaultPort)
{
    struct Case {
        const char* text;
        Scheme scheme;
        const char* host;
        int port;
    };
    const Case cases[] = {
        {"example.org", Scheme::Detect, "example.org", 21},
        {"ftp://example.org", Scheme::Ftp, "example.org", 21},
        {"FTPES://example.org:2121", Scheme::Ftpes, "example.org", 2121},
        {"ftps://example.org", Scheme::Ftps, "example.org", 990},
        {"sftp://example.org", Scheme::Sftp, "example.org", 22},
        {"sftp://[::1]:2222/", Scheme::Sftp, "::1", 2222},
        {" ftps://127.0.0.1:9990 ", Scheme::Ftps, "127.0.0.1", 9990},
    };
    for (const Case& c : cases) {
        const auto address = FtpServerAddress::parse(c.text);
        ASSERT_TRUE(address) << c.text;
        EXPECT_EQ(address->scheme, c.scheme) << c.text;
        EXPECT_EQ(address->host, c.host) << c.text;
        EXPECT_EQ(address->port, c.port) << c.text;
    }
    for (const char* refused : {"http://example.org", "ftp://", "sftp://host/folder", "ftp:/x"})
        EXPECT_FALSE(FtpServerAddress::parse(refused)) << refused;
}

TEST(HostFingerprintTest, IsTheUnpaddedBase64OfTheSha256AsOpenSshWritesIt)
{
    // SHA-256 of nothing, a published value.
    EXPECT_EQ(HostFingerprint::of(""), someKey);
    EXPECT_NE(HostFingerprint::of("a"), someKey);

    EXPECT_EQ(HostFingerprint::normalise(someKey), someKey);
    EXPECT_EQ(HostFingerprint::normalise(" sha256:" + someKey.substr(7) + "= "), someKey);
    for (const std::string& wrong :
         {std::string("47DEQpj8HBSa+/TImW+5JCeuQeRkm5NMpJWZG3hSuFU"),
          std::string("MD5:47DEQpj8HBSa+/TImW+5JCeuQeRkm5NMpJWZG3hSuFU"),
          someKey.substr(0, someKey.size() - 1), someKey + "AA",
          std::string("SHA256:47DEQpj8HBSa+/TImW+5JCeuQeRkm5NMpJWZG3hSu.U")})
        EXPECT_FALSE(HostFingerprint::normalise(wrong)) << wrong;
}

TEST(HostFingerprintTest, HexPairsAsPanelsAndBrowsersShowThemAreReadInAnyCase)
{
    EXPECT_EQ(HostFingerprint::hexOf(""), someHex);
    std::string lower = someHex;
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    std::string bare = someHex;
    bare.erase(std::remove(bare.begin(), bare.end(), ':'), bare.end());
    for (const std::string& typed : {someHex, lower, " " + bare + "\t"}) {
        EXPECT_EQ(HostFingerprint::normalise(typed), someHex) << typed;
        EXPECT_TRUE(HostFingerprint::isHex(*HostFingerprint::normalise(typed)));
    }
    EXPECT_FALSE(HostFingerprint::isHex(someKey));
    for (const std::string& wrong :
         {someHex.substr(3), someHex + ":00", someHex.substr(0, someHex.size() - 1),
          bare.substr(0, 10) + ":" + bare.substr(10), "G" + someHex.substr(1),
          someHex.substr(0, 2) + "-" + someHex.substr(3), someHex + ":"})
        EXPECT_FALSE(HostFingerprint::normalise(wrong)) << wrong;
}

// A host key blob as a server sends it: its type, then 32 bytes of fill.
std::string keyBlob(const std::string& type, char fill)
{
    std::string blob = {0, 0, 0, static_cast<char>(type.size())};
    blob += type;
    blob += std::string{0, 0, 0, 32};
    return blob + std::string(32, fill);
}

const std::string ed25519One =
    "ssh-ed25519 AAAAC3NzaC1lZDI1NTE5AAAAIAEBAQEBAQEBAQEBAQEBAQEBAQEBAQEBAQEBAQEBAQEB";
const std::string ed25519Two =
    "ssh-ed25519 AAAAC3NzaC1lZDI1NTE5AAAAIAICAgICAgICAgICAgICAgICAgICAgICAgICAgICAgIC";
const std::string ecdsaThree =
    "ecdsa-sha2-nistp256 "
    "AAAAE2VjZHNhLXNoYTItbmlzdHAyNTYAAAAgAwMDAwMDAwMDAwMDAwMDAwMDAwMDAwMDAwMDAwMDAwM=";

TEST(KnownHostsTest, FindsTheServersKeysUnderItsNamePortPatternOrHash)
{
    using Verdict = KnownHosts::Verdict;
    const KnownHosts known =
        KnownHosts::parse("# comment\r\n"
                          "\r\n"
                          "example.org,192.0.2.1 " +
                          ecdsaThree +
                          " comment\r\n"
                          "example.org " +
                          ed25519One +
                          "\r\n"
                          "[example.org]:2222 " +
                          ed25519Two +
                          "\n"
                          "*.example.net,!bad.example.net " +
                          ed25519One +
                          "\n"
                          "|1|AAECAwQFBgcICQoLDA0ODxAREhM=|FECgIuoZ4Lo/BCx3pa8UOUgvG+o= " +
                          ecdsaThree +
                          "\n"
                          "broken.example ssh-ed25519 not*base64\n"
                          "@unknown-marker example.org " +
                          ed25519Two +
                          "\n"
                          "example.org " +
                          ecdsaThree);
    EXPECT_EQ(known.keyTypesFor("EXAMPLE.org", 22),
              (std::vector<std::string>{"ecdsa-sha2-nistp256", "ssh-ed25519"}));
    EXPECT_EQ(known.keyTypesFor("example.org", 2222),
              (std::vector<std::string>{"ssh-ed25519", "ecdsa-sha2-nistp256"}));
    EXPECT_TRUE(known.keyTypesFor("example.com", 22).empty());

    EXPECT_EQ(known.check("example.org", 22, keyBlob("ssh-ed25519", 1)), Verdict::Match);
    EXPECT_EQ(known.check("example.org", 22, keyBlob("ecdsa-sha2-nistp256", 3)), Verdict::Match);
    // The CR of a CR LF line is no part of the key: no changed key.
    EXPECT_EQ(known.check("example.org", 22, keyBlob("ssh-ed25519", 2)), Verdict::Changed);
    EXPECT_EQ(known.check("example.org", 2222, keyBlob("ssh-ed25519", 2)), Verdict::Match);
    EXPECT_EQ(known.check("example.org", 2222, keyBlob("ecdsa-sha2-nistp256", 3)), Verdict::Match)
        << "hashed name";
    EXPECT_EQ(known.check("example.org", 2223, keyBlob("ssh-ed25519", 2)), Verdict::Unknown);
    EXPECT_EQ(known.check("www.example.net", 22, keyBlob("ssh-ed25519", 1)), Verdict::Match);
    EXPECT_EQ(known.check("bad.example.net", 22, keyBlob("ssh-ed25519", 1)), Verdict::Unknown);
    // Another type than the one listed is a new key, not a changed one, as for OpenSSH.
    EXPECT_EQ(known.check("www.example.net", 22, keyBlob("ecdsa-sha2-nistp256", 3)),
              Verdict::Unknown);
}

TEST(KnownHostsTest, RevokedKeyOutweighsEveryListingAndAnAuthorityAloneIsSaidSo)
{
    using Verdict = KnownHosts::Verdict;
    const KnownHosts known =
        KnownHosts::parse("example.org " + ed25519One + "\n@revoked * " + ed25519One +
                          "\r\n@cert-authority *.example.net " + ed25519Two + "\n");
    EXPECT_EQ(known.check("example.org", 22, keyBlob("ssh-ed25519", 1)), Verdict::Revoked);
    EXPECT_EQ(known.check("other.example", 22, keyBlob("ssh-ed25519", 1)), Verdict::Revoked);
    EXPECT_EQ(known.check("example.org", 22, keyBlob("ssh-ed25519", 2)), Verdict::Changed);
    EXPECT_EQ(known.check("www.example.net", 22, keyBlob("ssh-ed25519", 2)),
              Verdict::CertificateAuthorityOnly);
    // Marker lines list no key types to ask for.
    EXPECT_EQ(known.keyTypesFor("www.example.net", 22), std::vector<std::string>{});
}

TEST(TrustedKeyStoreTest, RemembersOneKeyPerServerAndKindInAPrivateFolder)
{
    TempDir folder;
    const TrustedKeyStore store(folder.file("config/vantiro/trusted_keys"));
    EXPECT_FALSE(store.find(HostKeyQuestion::Kind::Tls, "example.org", 21));

    ASSERT_TRUE(store.remember(HostKeyQuestion::Kind::Tls, "Example.ORG", 21, someKey));
    ASSERT_TRUE(store.remember(HostKeyQuestion::Kind::Ssh, "example.org", 22, otherKey));
    ASSERT_TRUE(store.remember(HostKeyQuestion::Kind::Tls, "example.org", 990, otherKey));
    ASSERT_TRUE(store.remember(HostKeyQuestion::Kind::Tls, "example.org", 21, otherKey));

    EXPECT_EQ(store.find(HostKeyQuestion::Kind::Tls, "example.org", 21), otherKey);
    EXPECT_EQ(store.find(HostKeyQuestion::Kind::Ssh, "EXAMPLE.org", 22), otherKey);
    EXPECT_FALSE(store.find(HostKeyQuestion::Kind::Ssh, "example.org", 21));
    EXPECT_EQ(test::readFile(store.path()), "ssh example.org:22 " + otherKey + "\n" +
                                                "tls example.org:990 " + otherKey + "\n" +
                                                "tls example.org:21 " + otherKey + "\n");
    struct stat info = {};
    ASSERT_EQ(stat(folder.file("config/vantiro").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
}

TEST(TrustedKeyStoreTest, ReadsLinesThatEndInCrLf)
{
    TempDir folder;
    const TrustedKeyStore store(folder.file("trusted_keys"));
    test::writeFile(store.path(), "ssh example.org:22 " + someKey + "\r\n");
    EXPECT_EQ(store.find(HostKeyQuestion::Kind::Ssh, "example.org", 22), someKey);
}

TEST(TrustedKeyStoreTest, LivesInTheUsersConfigurationFolder)
{
    test::ScopedEnvironment environment{{"XDG_CONFIG_HOME", "/tmp/xdg"}};
    EXPECT_EQ(TrustedKeyStore::defaultPath(), "/tmp/xdg/vantiro/trusted_keys");
    environment.set("XDG_CONFIG_HOME", "");
    EXPECT_EQ(TrustedKeyStore::defaultPath(),
              std::string(std::getenv("HOME")) + "/.config/vantiro/trusted_keys");

    // Relative folders would put the keys wherever the program was started; the user
    // database's home stands in for a relative HOME.
    environment.set("XDG_CONFIG_HOME", "xdg");
    environment.set("HOME", "relative");
    const passwd* user = getpwuid(getuid());
    ASSERT_TRUE(user && user->pw_dir);
    EXPECT_EQ(TrustedKeyStore::defaultPath(),
              std::string(user->pw_dir) + "/.config/vantiro/trusted_keys");
    EXPECT_EQ(HostTrust::defaultKnownHostsPath(), std::string(user->pw_dir) + "/.ssh/known_hosts");
}

class CountingDecider final : public TrustDecider {
public:
    explicit CountingDecider(bool answer) : answer_(answer) {}
    int asked = 0;
    HostKeyQuestion last;
    bool trustHostKey(const HostKeyQuestion& question) override
    {
        ++asked;
        last = question;
        return answer_;
    }

private:
    bool answer_;
};

HostKeyQuestion questionFor(const std::string& fingerprint)
{
    HostKeyQuestion question;
    question.kind = HostKeyQuestion::Kind::Ssh;
    question.host = "example.org";
    question.port = 22;
    question.fingerprint = fingerprint;
    question.reason = "nicht in known_hosts";
    return question;
}

TEST(HostTrustTest, WithoutDeciderOnlyThePinnedKeyPasses)
{
    HostTrust refusing;
    HostKeyQuestion question = questionFor(someKey);
    EXPECT_FALSE(refusing.accept(question));

    HostTrust::Settings settings;
    settings.pinnedFingerprint = someKey;
    HostTrust pinned(settings);
    EXPECT_TRUE(pinned.accept(question));
    HostKeyQuestion other = questionFor(otherKey);
    EXPECT_FALSE(pinned.accept(other));
}

TEST(HostTrustTest, PinnedKeyInEitherFormIsTheOnlyOneAcceptedAndTheDeciderCannotOverrule)
{
    TempDir folder;
    auto decider = std::make_shared<CountingDecider>(true);
    HostTrust::Settings settings;
    settings.decider = decider;
    settings.trustedKeysPath = folder.file("trusted_keys");
    ASSERT_TRUE(TrustedKeyStore(settings.trustedKeysPath)
                    .remember(HostKeyQuestion::Kind::Ssh, "example.org", 22, otherKey));
    HostKeyQuestion question = questionFor(someKey);
    question.hexFingerprint = someHex;
    HostKeyQuestion other = questionFor(otherKey);
    other.hexFingerprint = someHex.substr(3) + ":00";

    for (const std::string& pin : {someKey, someHex}) {
        settings.pinnedFingerprint = pin;
        HostTrust pinned(settings);
        EXPECT_FALSE(pinned.systemVouchingCounts());
        EXPECT_TRUE(pinned.accept(question)) << pin;
        // Accepted in an earlier run, and the decider says yes: still not the pinned key.
        EXPECT_FALSE(pinned.accept(other)) << pin;
        EXPECT_NE(other.reason.find("--fingerprint"), std::string::npos);
    }
    EXPECT_EQ(decider->asked, 2) << "told of each refused key, so that the tool names it";
    EXPECT_TRUE(HostTrust().systemVouchingCounts());
}

TEST(HostTrustTest, AsksOncePerKeyAndRemembersOnlyWhenToldTo)
{
    TempDir folder;
    auto decider = std::make_shared<CountingDecider>(true);
    HostTrust::Settings settings;
    settings.decider = decider;
    settings.trustedKeysPath = folder.file("trusted_keys");
    HostTrust notRemembering(settings);
    HostKeyQuestion question = questionFor(someKey);
    EXPECT_TRUE(notRemembering.accept(question));
    EXPECT_TRUE(notRemembering.accept(question));
    EXPECT_EQ(decider->asked, 1);
    EXPECT_FALSE(test::exists(settings.trustedKeysPath));

    settings.rememberAccepted = true;
    HostTrust remembering(settings);
    EXPECT_TRUE(remembering.accept(question));
    EXPECT_EQ(decider->asked, 2);
    EXPECT_EQ(TrustedKeyStore(settings.trustedKeysPath)
                  .find(HostKeyQuestion::Kind::Ssh, "example.org", 22),
              someKey);

    // The next run finds the key without asking; a different key asks with a warning.
    HostTrust nextRun(settings);
    EXPECT_TRUE(nextRun.accept(question));
    EXPECT_EQ(decider->asked, 2);
    HostKeyQuestion changed = questionFor(otherKey);
    EXPECT_TRUE(nextRun.accept(changed));
    EXPECT_EQ(decider->asked, 3);
    EXPECT_TRUE(decider->last.changed);
    EXPECT_EQ(decider->last.previousFingerprint, someKey);
}

TEST(HostTrustTest, RefusalTextNamesHostFingerprintAndAChange)
{
    HostKeyQuestion question = questionFor(someKey);
    EXPECT_EQ(
        HostTrust::refusalText(question),
        "SSH-Schl\xFCssel von example.org:22 nicht vertrauensw\xFCrdig (nicht in known_hosts), "
        "Fingerabdruck " +
            someKey);
    question.hexFingerprint = someHex;
    EXPECT_NE(HostTrust::refusalText(question).find(someHex), std::string::npos);
    question.changed = true;
    EXPECT_NE(HostTrust::refusalText(question).find("ACHTUNG"), std::string::npos);
}

} // namespace
} // namespace vantiro
