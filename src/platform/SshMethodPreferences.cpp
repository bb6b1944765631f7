#include "platform/SshMethodPreferences.h"

#include "core/text/Cp1252Literal.h"

#include <algorithm>
#include <iterator>

namespace vantiro {
namespace {

// What OpenSSH 9 offers by default, in its order; of these only what the linked libssh2 has is
// offered, and nothing weaker (no SHA-1 key exchange or host key signature, no CBC, RC4, 3DES,
// Blowfish or MD5).
constexpr const char* keyExchanges[] = {
    "curve25519-sha256", "curve25519-sha256@libssh.org", "ecdh-sha2-nistp256", "ecdh-sha2-nistp384",
    "ecdh-sha2-nistp521", "diffie-hellman-group-exchange-sha256", "diffie-hellman-group16-sha512",
    "diffie-hellman-group18-sha512", "diffie-hellman-group14-sha256",
    // Not methods but signals that go in the same list, where libssh2 has them.
    "ext-info-c", "kex-strict-c-v00@openssh.com"};
constexpr const char* ciphers[] = {"chacha20-poly1305@openssh.com",
                                   "aes128-ctr",
                                   "aes192-ctr",
                                   "aes256-ctr",
                                   "aes128-gcm@openssh.com",
                                   "aes256-gcm@openssh.com"};
constexpr const char* macs[] = {"hmac-sha2-256-etm@openssh.com",
                                "hmac-sha2-512-etm@openssh.com",
                                "hmac-sha1-etm@openssh.com",
                                "hmac-sha2-256",
                                "hmac-sha2-512",
                                "hmac-sha1"};
constexpr const char* hostKeys[] = {"ssh-ed25519",         "ecdsa-sha2-nistp256",
                                    "ecdsa-sha2-nistp384", "ecdsa-sha2-nistp521",
                                    "rsa-sha2-512",        "rsa-sha2-256"};

// The host key methods that verify a key of a type known_hosts lists: an RSA key is checked
// with SHA-2 signatures only.
std::vector<std::string> hostKeyMethodsFor(const std::string& knownType)
{
    if (knownType == "ssh-rsa")
        return {"rsa-sha2-512", "rsa-sha2-256"};
    if (std::find(std::begin(hostKeys), std::end(hostKeys), knownType) != std::end(hostKeys))
        return {knownType};
    return {};
}

std::vector<std::string> supportedMethods(LIBSSH2_SESSION* session, int type)
{
    const char** algorithms = nullptr;
    const int count = libssh2_session_supported_algs(session, type, &algorithms);
    std::vector<std::string> supported;
    for (int i = 0; i < count; ++i)
        supported.emplace_back(algorithms[i]);
    if (count > 0)
        libssh2_free(session, static_cast<void*>(algorithms));
    return supported;
}

// The wanted methods that libssh2 supports, in the order wanted, each once.
std::vector<std::string> offered(LIBSSH2_SESSION* session, int type,
                                 const std::vector<std::string>& wanted)
{
    const std::vector<std::string> supported = supportedMethods(session, type);
    std::vector<std::string> result;
    for (const std::string& method : wanted)
        if (std::find(supported.begin(), supported.end(), method) != supported.end() &&
            std::find(result.begin(), result.end(), method) == result.end())
            result.push_back(method);
    return result;
}

std::string joined(const std::vector<std::string>& names)
{
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : ",") + name;
    return text;
}

std::vector<std::string> splitNames(std::string_view list)
{
    std::vector<std::string> names;
    while (!list.empty()) {
        const std::size_t comma = list.find(',');
        names.emplace_back(list.substr(0, comma));
        list.remove_prefix(comma == std::string_view::npos ? list.size() : comma + 1);
    }
    return names;
}

bool shareAny(const std::vector<std::string>& a, const std::vector<std::string>& b)
{
    return std::any_of(a.begin(), a.end(), [&](const std::string& name) {
        return std::find(b.begin(), b.end(), name) != b.end();
    });
}

// The method lists of the server's first key exchange packet (SSH_MSG_KEXINIT), read from the
// bytes it sent before anything was encrypted: key exchange, host key, ciphers and MACs (each
// in both directions). Empty when the bytes hold no such packet.
std::vector<std::vector<std::string>> serverMethodLists(std::string_view stream)
{
    // Lines before the version line are allowed; the packet follows the version line.
    for (;;) {
        const std::size_t end = stream.find('\n');
        if (end == std::string_view::npos)
            return {};
        const bool version = stream.compare(0, 4, "SSH-") == 0;
        stream.remove_prefix(end + 1);
        if (version)
            break;
    }
    const auto number = [&](std::size_t at) {
        return (std::size_t{static_cast<unsigned char>(stream[at])} << 24) |
               (std::size_t{static_cast<unsigned char>(stream[at + 1])} << 16) |
               (std::size_t{static_cast<unsigned char>(stream[at + 2])} << 8) |
               std::size_t{static_cast<unsigned char>(stream[at + 3])};
    };
    constexpr unsigned char kexinit = 20;
    if (stream.size() < 6 + 16 || static_cast<unsigned char>(stream[5]) != kexinit)
        return {};
    std::size_t at = 6 + 16;
    std::vector<std::vector<std::string>> lists;
    for (int i = 0; i < 6; ++i) {
        if (stream.size() < at + 4 || stream.size() - at - 4 < number(at))
            return {};
        lists.push_back(splitNames(stream.substr(at + 4, number(at))));
        at += 4 + number(at);
    }
    return lists;
}

} // namespace

bool SshMethodPreferences::apply(LIBSSH2_SESSION* session,
                                 const std::vector<std::string>& knownKeyTypes,
                                 const std::vector<std::string>& skippedKeyMethods)
{
    std::vector<std::string> wantedKeys;
    for (const std::string& type : knownKeyTypes)
        for (std::string& method : hostKeyMethodsFor(type))
            wantedKeys.push_back(std::move(method));
    wantedKeys.insert(wantedKeys.end(), std::begin(hostKeys), std::end(hostKeys));
    std::erase_if(wantedKeys, [&](const std::string& method) {
        return std::find(skippedKeyMethods.begin(), skippedKeyMethods.end(), method) !=
               skippedKeyMethods.end();
    });
    const struct {
        int type;
        std::vector<std::string> wanted;
    } preferences[] = {
        {LIBSSH2_METHOD_KEX, {std::begin(keyExchanges), std::end(keyExchanges)}},
        {LIBSSH2_METHOD_HOSTKEY, wantedKeys},
        {LIBSSH2_METHOD_CRYPT_CS, {std::begin(ciphers), std::end(ciphers)}},
        {LIBSSH2_METHOD_CRYPT_SC, {std::begin(ciphers), std::end(ciphers)}},
        {LIBSSH2_METHOD_MAC_CS, {std::begin(macs), std::end(macs)}},
        {LIBSSH2_METHOD_MAC_SC, {std::begin(macs), std::end(macs)}},
    };
    for (const auto& preference : preferences) {
        const std::string list = joined(offered(session, preference.type, preference.wanted));
        if (list.empty() ||
            libssh2_session_method_pref(session, preference.type, list.c_str()) != 0)
            return false;
    }
    return true;
}

std::optional<std::string> SshMethodPreferences::keyExchangeFailure(LIBSSH2_SESSION* session,
                                                                    std::string_view received)
{
    const auto server = serverMethodLists(received);
    if (server.size() < 6)
        return std::nullopt;
    const auto ours = [&](int type, const auto& wanted) {
        return offered(session, type, {std::begin(wanted), std::end(wanted)});
    };
    const std::vector<std::string> serverKeys = server[1];
    if (!shareAny(serverKeys, ours(LIBSSH2_METHOD_HOSTKEY, hostKeys))) {
        const bool rsaOnly = std::all_of(serverKeys.begin(), serverKeys.end(), [](const auto& m) {
            return m == "ssh-rsa" || m == "rsa-sha2-256" || m == "rsa-sha2-512";
        });
        if (rsaOnly && !rsaSha2Supported(session))
            return "Der Server weist sich nur mit einem RSA-Schlüssel aus, und die SSH-Bibliothek dieses Systems (libssh2 "_cp1252 +
                   std::string(libssh2_version(0)) +
                   ") kann RSA-Schlüssel nur mit SHA-1 prüfen (ssh-rsa), das als unsicher gilt und das OpenSSH seit Version 8.8 ablehnt. Abhilfe: libssh2 ab 1.11 oder ein ed25519- oder ECDSA-Schlüssel auf dem Server"_cp1252;
        return "Der Server bietet nur veraltete, unsichere Verfahren an (Serverschlüssel: "_cp1252 +
               joined(serverKeys) + "); keine Verbindung";
    }
    const struct {
        const char* what;
        std::size_t list;
        std::vector<std::string> ours;
    } parts[] = {
        {"Schlüsselaustausch"_cp1252, 0, ours(LIBSSH2_METHOD_KEX, keyExchanges)},
        {"Verschlüsselung"_cp1252, 2, ours(LIBSSH2_METHOD_CRYPT_CS, ciphers)},
        {"Verschlüsselung"_cp1252, 3, ours(LIBSSH2_METHOD_CRYPT_SC, ciphers)},
        {"Prüfsumme"_cp1252, 4, ours(LIBSSH2_METHOD_MAC_CS, macs)},
        {"Prüfsumme"_cp1252, 5, ours(LIBSSH2_METHOD_MAC_SC, macs)},
    };
    for (const auto& part : parts) {
        // An AEAD cipher brings its own check; the MAC list then does not matter.
        const bool aeadOnly =
            part.list >= 4 &&
            std::all_of(server[part.list - 2].begin(), server[part.list - 2].end(),
                        [](const std::string& cipher) {
                            return cipher.find("gcm") != std::string::npos ||
                                   cipher.find("poly1305") != std::string::npos;
                        });
        if (!aeadOnly && !shareAny(server[part.list], part.ours))
            return std::string("Der Server bietet nur veraltete, unsichere Verfahren an (") +
                   part.what + ": " + joined(server[part.list]) + "); keine Verbindung";
    }
    return std::nullopt;
}

bool SshMethodPreferences::skipToAnotherKey(LIBSSH2_SESSION* session, std::string_view received,
                                            std::vector<std::string>& skippedKeyMethods)
{
    const char* used = libssh2_session_methods(session, LIBSSH2_METHOD_HOSTKEY);
    const auto server = serverMethodLists(received);
    if (!used || server.size() < 2)
        return false;
    // The two RSA methods check the same key.
    const bool rsa = std::string_view(used).compare(0, 8, "rsa-sha2") == 0;
    for (const std::string& method : rsa ? std::vector<std::string>{"rsa-sha2-512", "rsa-sha2-256"}
                                         : std::vector<std::string>{used})
        skippedKeyMethods.push_back(method);
    for (const std::string& method :
         offered(session, LIBSSH2_METHOD_HOSTKEY, {std::begin(hostKeys), std::end(hostKeys)}))
        if (std::find(server[1].begin(), server[1].end(), method) != server[1].end() &&
            std::find(skippedKeyMethods.begin(), skippedKeyMethods.end(), method) ==
                skippedKeyMethods.end())
            return true;
    return false;
}

bool SshMethodPreferences::rsaSha2Supported(LIBSSH2_SESSION* session)
{
    return shareAny(supportedMethods(session, LIBSSH2_METHOD_HOSTKEY),
                    {"rsa-sha2-256", "rsa-sha2-512"});
}

} // namespace vantiro
