#include "platform/CurlTlsSecurity.h"

#include "core/text/Cp1252Literal.h"
#include "platform/HostFingerprint.h"

#include <curl/curl.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509_vfy.h>
#include <openssl/x509v3.h>

#include <arpa/inet.h>
#include <memory>

namespace vantiro {
namespace {

bool isIpAddress(const std::string& host)
{
    unsigned char buffer[sizeof(in6_addr)];
    return inet_pton(AF_INET, host.c_str(), buffer) == 1 ||
           inet_pton(AF_INET6, host.c_str(), buffer) == 1;
}

std::string publicKeyBytes(X509* certificate)
{
    unsigned char* der = nullptr;
    const int length = i2d_X509_PUBKEY(X509_get_X509_PUBKEY(certificate), &der);
    if (length <= 0)
        return {};
    std::string bytes(reinterpret_cast<const char*>(der), static_cast<std::size_t>(length));
    OPENSSL_free(der);
    return bytes;
}

std::string certificateBytes(X509* certificate)
{
    unsigned char* der = nullptr;
    const int length = i2d_X509(certificate, &der);
    if (length <= 0)
        return {};
    std::string bytes(reinterpret_cast<const char*>(der), static_cast<std::size_t>(length));
    OPENSSL_free(der);
    return bytes;
}

// Why OpenSSL would not vouch for the certificate, in the user's words.
std::string reasonFor(int error)
{
    switch (error) {
    case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
    case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
        return "selbst signiertes Zertifikat";
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
    case X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE:
        return "Aussteller unbekannt";
    case X509_V_ERR_CERT_HAS_EXPIRED:
        return "Zertifikat abgelaufen";
    case X509_V_ERR_CERT_NOT_YET_VALID:
        return "Zertifikat noch nicht gültig"_cp1252;
    case X509_V_ERR_HOSTNAME_MISMATCH:
    case X509_V_ERR_IP_ADDRESS_MISMATCH:
        return "Zertifikat für einen anderen Namen ausgestellt"_cp1252;
    default:
        return "Zertifikat nicht überprüfbar"_cp1252;
    }
}

int contextIndex()
{
    static const int index = SSL_CTX_get_ex_new_index(0, nullptr, nullptr, nullptr, nullptr);
    return index;
}

} // namespace

struct TlsCallbacks {
    static CURLcode sslContext(CURL*, void* context, void* self)
    {
        auto* ctx = static_cast<SSL_CTX*>(context);
        // The handle is gone from libcurl's reach once a call ends, so the version is noted as
        // the handshake finishes.
        SSL_CTX_set_ex_data(ctx, contextIndex(), self);
        SSL_CTX_set_info_callback(ctx, &TlsCallbacks::info);
        // The chain and the name are judged in verify(); the handshake stops when it says no.
        SSL_CTX_set_verify(ctx, SSL_VERIFY_PEER, nullptr);
        SSL_CTX_set_cert_verify_callback(ctx, &TlsCallbacks::verify, self);
        return CURLE_OK;
    }

    static int verify(X509_STORE_CTX* context, void* self)
    {
        return static_cast<CurlTlsSecurity*>(self)->verify(context) ? 1 : 0;
    }

    static void info(const SSL* ssl, int where, int)
    {
        if ((where & SSL_CB_HANDSHAKE_DONE) == 0)
            return;
        auto* self = static_cast<CurlTlsSecurity*>(
            SSL_CTX_get_ex_data(SSL_get_SSL_CTX(ssl), contextIndex()));
        if (self)
            self->version_ = SSL_get_version(ssl);
    }
};

CurlTlsSecurity::CurlTlsSecurity(std::shared_ptr<HostTrust> trust) : trust_(std::move(trust))
{
    if (!trust_)
        trust_ = std::make_shared<HostTrust>();
}

CurlTlsSecurity::~CurlTlsSecurity()
{
    X509_STORE_free(static_cast<X509_STORE*>(store_));
}

void CurlTlsSecurity::setTrust(std::shared_ptr<HostTrust> trust)
{
    trust_ = trust ? std::move(trust) : std::make_shared<HostTrust>();
    X509_STORE_free(static_cast<X509_STORE*>(store_));
    store_ = nullptr;
}

void CurlTlsSecurity::apply(void* handle, const FtpServerAddress& address)
{
    CURL* curl = static_cast<CURL*>(handle);
    address_ = address;
    using Scheme = FtpServerAddress::Scheme;
    long use = CURLUSESSL_NONE;
    if (address.scheme == Scheme::Detect)
        use = CURLUSESSL_TRY;
    else if (address.scheme == Scheme::Ftpes || address.scheme == Scheme::Ftps)
        use = CURLUSESSL_ALL;
    curl_easy_setopt(curl, CURLOPT_USE_SSL, use);
    curl_easy_setopt(curl, CURLOPT_FTPSSLAUTH, static_cast<long>(CURLFTPAUTH_TLS));
    curl_easy_setopt(curl, CURLOPT_SSLVERSION, static_cast<long>(CURL_SSLVERSION_TLSv1_2));
    // libcurl's own checks are off because verify() makes them, with the same store and name.
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 0L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 0L);
    curl_easy_setopt(curl, CURLOPT_SSL_CTX_FUNCTION, &TlsCallbacks::sslContext);
    curl_easy_setopt(curl, CURLOPT_SSL_CTX_DATA, this);
}

const char* CurlTlsSecurity::urlScheme(const FtpServerAddress& address)
{
    return address.scheme == FtpServerAddress::Scheme::Ftps ? "ftps" : "ftp";
}

std::string CurlTlsSecurity::notice() const
{
    if (version_.empty())
        return "Verbindung unverschlüsselt"_cp1252;
    const std::string version =
        version_.compare(0, 4, "TLSv") == 0 ? "TLS " + version_.substr(4) : version_;
    return "Verbindung verschlüsselt ("_cp1252 + version + ")";
}

void* CurlTlsSecurity::systemStore()
{
    if (store_)
        return store_;
    X509_STORE* store = X509_STORE_new();
    X509_STORE_set_default_paths(store);
    const std::string& extra = trust_->settings().extraCertificatesPath;
    if (!extra.empty())
        X509_STORE_load_file(store, extra.c_str());
    store_ = store;
    return store_;
}

bool CurlTlsSecurity::verify(void* storeContext)
{
    auto* context = static_cast<X509_STORE_CTX*>(storeContext);
    X509* leaf = X509_STORE_CTX_get0_cert(context);
    if (!leaf)
        return false;

    const std::unique_ptr<X509_STORE_CTX, decltype(&X509_STORE_CTX_free)> check(
        X509_STORE_CTX_new(), &X509_STORE_CTX_free);
    int error = X509_V_ERR_UNSPECIFIED;
    if (check && X509_STORE_CTX_init(check.get(), static_cast<X509_STORE*>(systemStore()), leaf,
                                     X509_STORE_CTX_get0_untrusted(context)) == 1) {
        X509_STORE_CTX_set_default(check.get(), "ssl_server");
        X509_VERIFY_PARAM* param = X509_STORE_CTX_get0_param(check.get());
        if (isIpAddress(address_.host))
            X509_VERIFY_PARAM_set1_ip_asc(param, address_.host.c_str());
        else
            X509_VERIFY_PARAM_set1_host(param, address_.host.c_str(), 0);
        error =
            X509_verify_cert(check.get()) == 1 ? X509_V_OK : X509_STORE_CTX_get_error(check.get());
    }
    if (error == X509_V_OK && trust_->systemVouchingCounts()) {
        X509_STORE_CTX_set_error(context, X509_V_OK);
        return true;
    }

    HostKeyQuestion question;
    question.kind = HostKeyQuestion::Kind::Tls;
    question.host = address_.host;
    question.port = address_.port;
    question.fingerprint = HostFingerprint::of(publicKeyBytes(leaf));
    question.hexFingerprint = HostFingerprint::hexOf(certificateBytes(leaf));
    question.reason = reasonFor(error);
    if (trust_->accept(question)) {
        X509_STORE_CTX_set_error(context, X509_V_OK);
        return true;
    }
    refused_ = question;
    X509_STORE_CTX_set_error(context, X509_V_ERR_CERT_REJECTED);
    return false;
}

} // namespace vantiro
