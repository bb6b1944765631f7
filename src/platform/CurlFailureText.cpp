#include "platform/CurlFailureText.h"

#include "core/text/Cp1252Literal.h"

#include <curl/curl.h>

namespace vantiro {

const char* CurlFailureText::german(int curlCode)
{
    switch (curlCode) {
    case CURLE_COULDNT_RESOLVE_HOST:
        return "Servername nicht gefunden";
    case CURLE_COULDNT_CONNECT:
        return "Keine Verbindung zum Server möglich"_cp1252;
    case CURLE_SSL_CONNECT_ERROR:
        return "Verschlüsselte Verbindung nicht möglich"_cp1252;
    case CURLE_USE_SSL_FAILED:
        return "Der Server bietet keine Verschlüsselung an (ftpes:// verlangt TLS)"_cp1252;
    case CURLE_PEER_FAILED_VERIFICATION:
        return "Zertifikat des Servers nicht vertrauenswürdig"_cp1252;
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING:
        return "Verbindung zum Server unterbrochen";
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_FTP_WEIRD_PASV_REPLY:
    case CURLE_FTP_WEIRD_227_FORMAT:
        return "Unverständliche Antwort des Servers"_cp1252;
    case CURLE_FTP_CANT_GET_HOST:
    case CURLE_FTP_ACCEPT_FAILED:
        return "Keine Datenverbindung zum Server möglich"_cp1252;
    default:
        return nullptr;
    }
}

} // namespace vantiro
