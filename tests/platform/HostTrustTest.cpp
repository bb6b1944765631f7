#include "platform/HostTrust.h"
#include "platform/FtpServerAddress.h"
#include "platform/HostFingerprint.h"
#include "platform/TrustedKeyStore.h"
#include "support/ScopedEnvironment.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

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
    question.changed = true;
    EXPECT_NE(HostTrust::refusalText(question).find("ACHTUNG"), std::string::npos);
}

} // namespace
} // namespace vantiro
