#include "core/ftp/ResponseText.h"

#include "core/text/Cp1252Literal.h"

#include <string_view>

namespace vantiro {
namespace {

std::string lowerCaseAscii(std::string text)
{
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

} // namespace

// Server replies already begin with their code; a code of the FTP layer's own comes with a text
// that does not, so it is put in front only then.
std::string responseText(const FtpResponse& response)
{
    if (response.code == 0)
        return "Ok";
    const std::string code = std::to_string(response.code);
    const bool hasCode = response.text.starts_with(code) &&
                         (response.text.size() == code.size() ||
                          response.text[code.size()] == ' ' || response.text[code.size()] == '-');
    return hasCode ? response.text : code + ' ' + response.text;
}

std::string connectFailureCause(const FtpResponse& response, const std::string& server)
{
    switch (response.code) {
    case 0:
        return {};
    case FtpResponse::timeoutCode:
        return "keine Antwort vom Server";
    case FtpResponse::hostNotFoundCode:
        return "Servername nicht gefunden";
    case FtpResponse::noConnectionCode:
        return "Verbindung abgelehnt";
    case FtpResponse::untrustedCode:
        return lowerCaseAscii(server.substr(0, 7)) == "sftp://"
                   ? "Schlüssel nicht angenommen"_cp1252
                   : "Zertifikat nicht angenommen";
    case FtpResponse::noTlsCode:
        return "Server bietet keine Verschlüsselung an"_cp1252;
    default:
        break;
    }
    const std::string text = response.code >= 1000 ? response.text : responseText(response);
    return text.substr(0, text.find_first_of("\r\n"));
}

std::string connectionLostText(const FtpResponse& response)
{
    static constexpr std::string_view lost = "Verbindung zum Server unterbrochen";
    std::string status(lost);
    if (response.code != 0) {
        // The clients say the same words; they are not repeated, only the code and any detail.
        if (response.text.starts_with(lost))
            status += " - " + std::to_string(response.code) + response.text.substr(lost.size());
        else
            status += " - " + responseText(response);
    }
    return status;
}

} // namespace vantiro
