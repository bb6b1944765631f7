#include "cli/CommandLine.h"
#include "cli/GenerateCommand.h"
#include "cli/KeywordsCommand.h"
#include "cli/ListCommand.h"
#include "cli/UploadCommand.h"

#include <clocale>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const char* const generateUsage =
    "vantiro-cli generate --keywords DATEI [--home ORDNER] [--pages ZAHL] [--numbered]\n"
    "      [--text-links] [--body DATEI] [--head DATEI] [--doctype TEXT] [--title TEXT]\n"
    "      [--description TEXT] [--author TEXT] [--robots TEXT] [--revisit TEXT]\n"
    "      [--pragma TEXT] [--caching TEXT] [--background FARBE] [--text-color FARBE]\n"
    "      [--link-color FARBE] [--font TEXT] [--seed N]\n";
const char* const keywordsUsage = "vantiro-cli keywords [--home ORDNER] [--] TEXT\n";
const char* const uploadUsage =
    "vantiro-cli upload --server [SCHEMA://]HOST[:PORT] --user NAME [--remote ORDNER] [--binary]\n"
    "      [--parallel N] [--sync [--delete]] [--dry-run] [--home ORDNER]\n"
    "      [--fingerprint SHA256:...]\n";
const char* const listUsage = "vantiro-cli list --server [SCHEMA://]HOST[:PORT] --user NAME "
                              "[--remote ORDNER] [--filter MUSTER]\n"
                              "      [--home ORDNER] [--fingerprint SHA256:...]\n";

const char* const optionNotes =
    "Optionen mit Wert: \"--option WERT\" oder \"--option=WERT\"; \"--\" beendet die Optionen.\n";

const char* const exitCodes = "Rückgabewerte:\n"
                              "  0  erledigt\n"
                              "  1  teilweise erledigt: einige Dateien sind fehlgeschlagen\n"
                              "  2  abgebrochen, bevor etwas geschah: falscher Aufruf, abgelehnte\n"
                              "     Eingabe, fehlgeschlagene Prüfung, Verbindung oder Anmeldung\n";

const char* const generateDetails =
    "Erzeugt die Doorpages wie \"ERSTELLEN\" im Fenster, mit dessen Startwerten.\n"
    "  --keywords DATEI   Keyword-Datei (eine Zeile je Keyword)\n"
    "  --home ORDNER      Programmordner mit doorpages, keywordfile und vorlagen; ohne\n"
    "                     ihn der Datenordner des Benutzers (~/.local/share/vantiro)\n"
    "  --pages ZAHL       Anzahl der Seiten, 20 bis 1000 (Vorgabe 20)\n"
    "  --numbered         Dateien numerieren statt Keywords als Dateinamen\n"
    "  --text-links       keine verlinkten Bilder\n"
    "  --body, --head     Vorlage für den Seitenkörper und Zusatz im Seitenkopf (Dateien)\n"
    "  --background, --text-color, --link-color  Farben der Form #rrggbb\n"
    "  --seed N           gleiche Zahl, gleiche Seiten\n";
const char* const keywordsDetails =
    "Schreibt eine neue Keyword-Datei wie der Keyword-Dialog und gibt ihren Pfad aus.\n"
    "TEXT enthält die Keywords, getrennt durch Komma.\n";
const char* const serverNotes =
    "SCHEMA: ftp (unverschlüsselt), ftpes (TLS verlangt), ftps (TLS von Anfang an, Port 990),\n"
    "  sftp (SSH, Port 22); ohne Schema TLS, wenn der Server es anbietet.\n"
    "  --fingerprint SHA256:...  vertraut für diesen Aufruf nur diesem Serverschlüssel, auch\n"
    "      gegen Zertifikatsspeicher und known_hosts; auch als 32 Hex-Paare (1C:F4:...), wie\n"
    "      Anbieter und Browser sie zeigen (bei TLS vom ganzen Zertifikat)\n";
const char* const uploadDetails =
    "Lädt doorpages und doorpages/images auf einen FTP-Server. Das Passwort steht in der\n"
    "Umgebungsvariablen VANTIRO_FTP_PASSWORD (leer für anonyme Server).\n"
    "  --parallel N   N Verbindungen zugleich, 1 bis 8 (Vorgabe 4; nie mehr als Dateien)\n"
    "  --sync         nur Dateien senden, die sich seit dem letzten Senden mit diesem Programm\n"
    "                 geändert haben (Liste .htvantiro-sync im Zielordner); auf dem Server\n"
    "                 von anderen geänderte Dateien bemerkt es nicht\n"
    "  --delete       mit --sync: Dateien früherer Läufe löschen, die lokal fehlen;\n"
    "                 andere Dateien des Servers bleiben\n"
    "  --dry-run      nur zeigen, was gesendet und gelöscht würde\n";
const char* const listDetails =
    "Zeigt den Inhalt eines Ordners auf einem FTP-Server. Das Passwort steht in der\n"
    "Umgebungsvariablen VANTIRO_FTP_PASSWORD (leer für anonyme Server).\n";

struct Subcommand {
    const char* name;
    const char* usage;
    const char* details;
    int (*run)(const std::vector<std::string>&);
};

const Subcommand subcommands[] = {
    {"generate", generateUsage, generateDetails, vantiro::runGenerateCommand},
    {"keywords", keywordsUsage, keywordsDetails, vantiro::runKeywordsCommand},
    {"upload", uploadUsage, uploadDetails, vantiro::runUploadCommand},
    {"list", listUsage, listDetails, vantiro::runListCommand},
};

void printOverview()
{
    std::fputs("Aufruf:\n", stdout);
    for (const Subcommand& subcommand : subcommands)
        std::printf("  %s", subcommand.usage);
    std::fputs("  vantiro-cli --version\n"
               "  vantiro-cli BEFEHL --help\n\n",
               stdout);
    std::fputs(optionNotes, stdout);
    std::fputs(exitCodes, stdout);
}

void printSubcommandHelp(const Subcommand& subcommand)
{
    const bool connects =
        subcommand.run == vantiro::runUploadCommand || subcommand.run == vantiro::runListCommand;
    std::printf("Aufruf:\n  %s\n%s%s\n%s%s", subcommand.usage, subcommand.details,
                connects ? serverNotes : "", optionNotes, exitCodes);
}

} // namespace

int main(int argc, char** argv)
{
    // Page counts are read with the decimal separator of the user's locale.
    std::setlocale(LC_ALL, "");
    const std::vector<std::string> args(argv + 1, argv + argc);
    const std::string command = args.empty() ? "" : args.front();
    const std::vector<std::string> rest(args.begin() + (args.empty() ? 0 : 1), args.end());

    for (const Subcommand& subcommand : subcommands) {
        if (command != subcommand.name)
            continue;
        if (vantiro::CommandLine::asksForHelp(rest)) {
            printSubcommandHelp(subcommand);
            return 0;
        }
        return subcommand.run(rest);
    }
    if (command == "help" || command == "--help" || command == "-h") {
        printOverview();
        return 0;
    }
    if (command == "--version") {
        std::printf("vantiro-cli %s\n", VANTIRO_VERSION);
        return 0;
    }
    if (command.empty())
        std::fputs("vantiro-cli: Es fehlt ein Befehl.\n", stderr);
    else
        std::fprintf(stderr, "vantiro-cli: Unbekannter Befehl %s.\n", command.c_str());
    std::fputs("Hilfe: vantiro-cli --help\n", stderr);
    return 2;
}
