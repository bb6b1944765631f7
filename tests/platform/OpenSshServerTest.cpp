#include "platform/HostTrust.h"
#include "platform/SftpClient.h"
#include "support/OpenSshTestServer.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

// Only for the version the platform layer was built with.
#include <libssh2.h>

#include <cstdlib>

namespace vantiro {
namespace {

using test::OpenSshTestServer;
using test::TempDir;

// Counts the questions: a key that known_hosts or the pin vouches for asks none.
class CountingDecider final : public TrustDecider {
public:
    int asked = 0;
    HostKeyQuestion last;
    bool trustHostKey(const HostKeyQuestion& question) override
    {
        ++asked;
        last = question;
        return false;
    }
};

// Nobody can log in to the test sshd: a connect that ends in a refused password has passed the
// host key check and agreed on methods with the server.
constexpr unsigned long passwordRefused = 530;

class OpenSshServerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!OpenSshTestServer::installed())
            GTEST_SKIP() << "sshd is missing: scripts/setup.sh installs openssh-server";
    }

    FtpResponse connectWith(const OpenSshTestServer& server, const std::string& knownHosts,
                            const std::string& pin = {})
    {
        HostTrust::Settings settings;
        settings.decider = decider;
        settings.knownHostsPath = home.file("known_hosts");
        settings.pinnedFingerprint = pin;
        test::writeFile(settings.knownHostsPath, knownHosts);
        SftpClient client(std::make_shared<HostTrust>(settings));
        client.setTimeout(std::chrono::seconds(10));
        EXPECT_FALSE(client.connect(server.address(), "vantiro", "falsch", true));
        return client.lastResponse();
    }

    TempDir home;
    std::shared_ptr<CountingDecider> decider = std::make_shared<CountingDecider>();
};

TEST_F(OpenSshServerTest, HostListedWithAnyOneOfItsKeysIsTrustedWithoutAQuestion)
{
    OpenSshTestServer server;
    // Debian's sftp writes the ed25519 key after the first connect; the server also has ECDSA
    // and RSA keys, which libssh2 would ask for first on its own.
    for (const char* type : {"ed25519", "ecdsa"}) {
        const FtpResponse response =
            connectWith(server, "# comment\n" + server.knownHostsLine(type) + "\n");
        EXPECT_EQ(response.code, passwordRefused) << type << ": " << response.text;
    }
    // Hashed, as ssh-keygen -H writes the file; and with CR LF line ends.
    test::writeFile(home.file("hashed"), server.knownHostsLine("ed25519") + "\n");
    ASSERT_EQ(std::system(("ssh-keygen -q -H -f " + home.file("hashed") + " 2>/dev/null").c_str()),
              0);
    const std::string hashed = test::readFile(home.file("hashed"));
    ASSERT_EQ(hashed.compare(0, 3, "|1|"), 0) << hashed;
    EXPECT_EQ(connectWith(server, hashed).code, passwordRefused);
    EXPECT_EQ(connectWith(server, server.knownHostsLine("ecdsa") + "\r\n").code, passwordRefused);
    EXPECT_EQ(decider->asked, 0);
}

TEST_F(OpenSshServerTest, FingerprintPinsThatKeyInBothPublishedFormsAndNoOther)
{
    OpenSshTestServer server;
    // Providers publish the fingerprints of all the server's keys; any of them will do.
    for (const std::string& pin : {server.fingerprint("ed25519"), server.hexFingerprint("ed25519"),
                                   server.fingerprint("ecdsa"), server.hexFingerprint("ecdsa")}) {
        const FtpResponse response = connectWith(server, "", pin);
        EXPECT_EQ(response.code, passwordRefused) << pin << ": " << response.text;
    }
    EXPECT_EQ(decider->asked, 0);

    // known_hosts vouches for the key, but the pin names one the server does not have.
    OpenSshTestServer other({{"ed25519"}, {}});
    const FtpResponse refused =
        connectWith(other, other.knownHostsLine("ed25519") + "\n", server.fingerprint("ed25519"));
    EXPECT_EQ(refused.code, SftpClient::untrustedKeyCode) << refused.text;
    EXPECT_NE(refused.text.find(other.fingerprint("ed25519")), std::string::npos) << refused.text;
    EXPECT_NE(refused.text.find(other.hexFingerprint("ed25519")), std::string::npos)
        << refused.text;
    EXPECT_EQ(decider->asked, 1) << "told once, so that the tool names the key it met";
}

TEST_F(OpenSshServerTest, RevokedKeyIsRefusedWhateverElseVouchesForIt)
{
    OpenSshTestServer server({{"ed25519"}, {}});
    const std::string listed = server.knownHostsLine("ed25519");
    const std::string revoked = "@revoked " + listed + "\n";
    struct Case {
        std::string knownHosts;
        std::string pin;
    };
    for (const Case& c : {Case{listed + "\n" + revoked, ""}, Case{revoked, ""},
                          Case{revoked, server.fingerprint("ed25519")},
                          Case{revoked + listed + "\n", server.hexFingerprint("ed25519")}}) {
        const FtpResponse response = connectWith(server, c.knownHosts, c.pin);
        EXPECT_EQ(response.code, SftpClient::untrustedKeyCode) << c.knownHosts << c.pin;
        EXPECT_NE(response.text.find("widerrufen"), std::string::npos) << response.text;
    }
    EXPECT_EQ(decider->asked, 0) << "a revoked key is no question";
}

TEST_F(OpenSshServerTest, CertificateAuthorityLineSaysHostCertificatesAreNotSupported)
{
    OpenSshTestServer server({{"ed25519"}, {}});
    const std::string line = server.knownHostsLine("ed25519");
    const FtpResponse response = connectWith(server, "@cert-authority " + line + "\n");
    EXPECT_EQ(response.code, SftpClient::untrustedKeyCode);
    EXPECT_NE(response.text.find("Host-Zertifikate werden nicht unterst\xFCtzt"), std::string::npos)
        << response.text;
}

TEST_F(OpenSshServerTest, ServerLimitedToWeakMethodsIsRefusedWithAGermanReason)
{
    struct Case {
        const char* config;
        const char* named;
    };
    for (const Case& c : {Case{"KexAlgorithms diffie-hellman-group1-sha1", "group1-sha1"},
                          Case{"Ciphers 3des-cbc", "3des-cbc"},
                          // A cipher that brings its own check would need no MAC.
                          Case{"MACs hmac-md5,hmac-sha1-96\nCiphers aes128-ctr", "hmac-md5"}}) {
        OpenSshTestServer server({{"ed25519"}, {c.config}});
        const std::string pin = server.fingerprint("ed25519");
        const FtpResponse response = connectWith(server, "", pin);
        EXPECT_NE(response.code, passwordRefused) << c.config;
        EXPECT_NE(response.text.find("veraltete, unsichere Verfahren"), std::string::npos)
            << c.config << ": " << response.text;
        EXPECT_NE(response.text.find(c.named), std::string::npos) << response.text;
    }
}

TEST_F(OpenSshServerTest, ServerWithOnlyAnRsaKeyIsCheckedWithSha2OrTheMessageSaysWhyNot)
{
    OpenSshTestServer server({{"rsa"}, {}});
    const FtpResponse response = connectWith(server, server.knownHostsLine("rsa") + "\n");
    // libssh2 signs and checks RSA keys with SHA-2 from 1.11 on.
    if (LIBSSH2_VERSION_NUM >= 0x010b00) {
        EXPECT_EQ(response.code, passwordRefused) << response.text;
    } else {
        EXPECT_NE(response.text.find("nur mit einem RSA-Schl\xFCssel"), std::string::npos)
            << response.text;
        EXPECT_EQ(response.text.find("Unable to exchange"), std::string::npos) << response.text;
    }

    // A server that has other keys too, listed in known_hosts with its RSA key only.
    OpenSshTestServer more;
    const FtpResponse other = connectWith(more, more.knownHostsLine("rsa") + "\n");
    if (LIBSSH2_VERSION_NUM >= 0x010b00) {
        EXPECT_EQ(other.code, passwordRefused) << other.text;
    } else {
        EXPECT_EQ(other.code, SftpClient::untrustedKeyCode);
        EXPECT_NE(other.text.find("nur den RSA-Schl\xFCssel"), std::string::npos) << other.text;
    }
}

} // namespace
} // namespace vantiro
