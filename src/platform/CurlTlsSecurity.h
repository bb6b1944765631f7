#pragma once

#include "platform/FtpServerAddress.h"
#include "platform/HostTrust.h"
#include "platform/TrustDecider.h"

#include <memory>
#include <optional>
#include <string>

namespace vantiro {

// TLS for FTP on a libcurl easy handle: which of AUTH TLS / implicit TLS / none a scheme asks
// for, and the check of the server's certificate. The certificate is checked here instead of by
// libcurl so that a certificate the system store does not vouch for can still be trusted by its
// fingerprint, and so that the decision falls during the handshake, before USER and PASS.
// One object belongs to one connection.
class CurlTlsSecurity final {
public:
    explicit CurlTlsSecurity(std::shared_ptr<HostTrust> trust);
    ~CurlTlsSecurity();
    CurlTlsSecurity(const CurlTlsSecurity&) = delete;
    CurlTlsSecurity& operator=(const CurlTlsSecurity&) = delete;

    void setTrust(std::shared_ptr<HostTrust> trust);

    // Sets the TLS options of curl (a CURL*) for address; call after every curl_easy_reset.
    void apply(void* curl, const FtpServerAddress& address);

    // The URL scheme that goes with address: "ftps" for implicit TLS, else "ftp".
    static const char* urlScheme(const FtpServerAddress& address);

    // "Verbindung verschlüsselt (TLS 1.3)" or "Verbindung unverschlüsselt" for the last
    // connection made, Windows-1252.
    std::string notice() const;

    // The certificate refused during the last handshake, if one was.
    const std::optional<HostKeyQuestion>& refused() const { return refused_; }
    // Forgets the refusal and the TLS version of an earlier connection.
    void clearRefusal()
    {
        refused_.reset();
        version_.clear();
    }

private:
    friend struct TlsCallbacks;

    bool verify(void* storeContext);
    void* systemStore();

    std::shared_ptr<HostTrust> trust_;
    FtpServerAddress address_;
    std::optional<HostKeyQuestion> refused_;
    std::string version_;   // of the last finished handshake, "TLSv1.3"
    void* store_ = nullptr; // X509_STORE*, built at the first handshake
};

} // namespace vantiro
