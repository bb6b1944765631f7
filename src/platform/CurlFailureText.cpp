#include "platform/CurlFailureText.h"

#include <curl/curl.h>

namespace vantiro {

const char* CurlFailureText::german(int curlCode)
{
    switch (curlCode) {
    case CURLE_COULDNT_RESOLVE_HOST:
        return "Servername nicht gefunden";
    case CURLE_COULDNT_CONNECT:
        return "Keine Verbindung zum Server m\xF6glich";
    case CURLE_SSL_CONNECT_ERROR:
        return "Verschl\xFCsselte Verbindung nicht m\xF6glich";
    case CURLE_USE_SSL_FAILED:
        return "Der Server bietet keine Verschl\xFCsselung an (ftpes:// verlangt TLS)";
    case CURLE_PEER_FAILED_VERIFICATION:
        return "Zertifikat des Servers nicht vertrauensw\xFCrdig";
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING:
        return "Verbindung zum Server unterbrochen";
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_FTP_WEIRD_PASV_REPLY:
    case CURLE_FTP_WEIRD_227_FORMAT:
        return "Unverst\xE4ndliche Antwort des Servers";
    case CURLE_FTP_CANT_GET_HOST:
    case CURLE_FTP_ACCEPT_FAILED:
        return "Keine Datenverbindung zum Server m\xF6glich";
    default:
        return nullptr;
    }
}

} // namespace vantiro
