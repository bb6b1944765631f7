#pragma once

#include <string>
#include <vector>

namespace vantiro {

// Everything a generation run reads from the main window. Texts are Windows-1252 bytes, exactly
// as they go into the written files; the window converts at its edge. The exceptions are the
// file paths (txtKeyword, KeywordDatei, VorlagenDatei): they hold file-system bytes (UTF-8 on
// Linux, QFile::encodeName) because they are opened, not written into pages.
struct PageSettings {
    // Input controls.
    std::string cmbDoctype;
    std::string txtTitle;
    std::string cmbRobots;
    std::string txtDescription;
    std::string txtAuthor;
    std::string cmbPragma;
    std::string cmbRevisit;
    std::string cmbCaching;
    std::string txtScripting;
    std::string txtKeyword;
    std::string txtBody;
    bool optKeywords = true; // optDateiname is selected exactly when this is false
    int chkImageLinks = 1;   // 0 unchecked, any other value checked
    std::string txtAnzahlSeiten;

    // Window-level variables that outlive a run.
    std::string Seitenhintergrund;
    std::string Linkfarbe;
    std::string Schriftfarbe;
    std::string Schriftart;
    std::string BodyInformation;
    std::string SchriftartStyle;
    std::string KeywordDatei;
    std::string VorlagenDatei;
    bool Beispielcode = false;

    bool optDateiname() const { return !optKeywords; }

    // The values the window starts with.
    static PageSettings startValues();

    // "RESET": the controls go back to their defaults (with one line break more in the body);
    // colours, font, the built tags and the file variables stay.
    void reset();
};

// The choices of the drop-down lists, in the order the window offers them.
const std::vector<std::string>& doctypeChoices();
const std::vector<std::string>& robotsChoices();
const std::vector<std::string>& pragmaChoices();
const std::vector<std::string>& revisitChoices();
const std::vector<std::string>& cachingChoices();

// The default DOCTYPE line, entry 2 of the list.
const std::string& defaultDoctype();

// "<BODY>", the given number of CR LF pairs, "</BODY>".
std::string emptyBody(int lineBreaks);

} // namespace vantiro
