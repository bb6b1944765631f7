#include "core/generator/RunMessages.h"

#include "core/generator/KeywordList.h"
#include "core/generator/MakerAddress.h"
#include "core/generator/TextCase.h"

namespace vantiro {

std::string RunMessages::sponsorlink()
{
    return std::string("<P ALIGN=\"CENTER\"><FONT FACE=\"Arial, Verdana, Helvetica\" SIZE=\"1\" "
                       "COLOR=\"#999999\"><I>Vantiro VTR 3.0 by</I><BR><A HREF=\"") +
           makerAddress + "\" TARGET=\"_BLANK\">" + upperCp1252(makerHost) + "</A></FONT></P>";
}

std::string RunMessages::pixelMissing(const std::string& programFolder)
{
    return "Pixelgrafik im Programmverzeichnis wurde nicht gefunden. Legen Sie eine 1 x 1 Pixel "
           "grosse Datei (Transparentes GIF) mit dem Namen \"vtr.gif\" unter " +
           programFolder + " ab oder installieren Sie VTR neu.";
}

std::string RunMessages::keywordFileUnreadable(const std::string& path)
{
    return "Die Keyword-Datei " + path +
           " kann nicht gelesen werden. Wählen Sie eine vorhandene Keyword-Datei.";
}

std::string RunMessages::keywordFileEmpty(const std::string& path)
{
    return "Die Keyword-Datei " + path + " enthält keine Keywords.";
}

std::string RunMessages::keywordFileBinary(const std::string& path, long long line)
{
    return "Die Keyword-Datei " + path + " ist keine Textdatei (Nullzeichen in Zeile " +
           std::to_string(line) + ").";
}

std::string RunMessages::keywordLineTooLong(const std::string& path, long long line)
{
    return "Zeile " + std::to_string(line) + " der Keyword-Datei " + path + " ist länger als " +
           std::to_string(KeywordList::maxKeywordLength) + " Zeichen.";
}

std::string RunMessages::outputFolderMissing(const std::string& folder)
{
    return "Der Ordner " + folder +
           " für die Doorpages fehlt oder ist kein Ordner. Es wurde nichts erstellt.";
}

std::string RunMessages::completed(const std::string& outputFolder)
{
    return "Doorpages erstellt in " + outputFolder +
           "\r\nDie Dateiliste finden Sie in _keyliste.htm";
}

std::string RunMessages::incomplete(const std::string& outputFolder, int failedFiles,
                                    const std::string& firstFailedFile)
{
    const std::string count = failedFiles == 1 ? "1 Datei konnte nicht geschrieben werden"
                                               : std::to_string(failedFiles) +
                                                     " Dateien konnten nicht geschrieben werden";
    return "Doorpages erstellt in " + outputFolder + "\r\n" + count +
           ", zuerst: " + firstFailedFile;
}

} // namespace vantiro
