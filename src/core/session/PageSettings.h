#pragma once

#include <string>
#include <vector>

namespace vantiro {

// Everything a generation run reads from the main window. Texts are Windows-1252 bytes, exactly
// as they go into the written files; the window converts at its edge. The exceptions are the
// file paths (keywordFile, runKeywordFile, templateFile): they hold file-system bytes (UTF-8 on
// Linux, QFile::encodeName) because they are opened, not written into pages.
struct PageSettings {
    // Input controls.
    std::string doctype;
    std::string title;
    std::string robots;
    std::string description;
    std::string author;
    std::string pragma;
    std::string revisit;
    std::string caching;
    std::string scripting;
    std::string keywordFile;
    std::string body;
    bool keywordNames = true; // numberedNames is selected exactly when this is false
    int imageLinks = 1;       // 0 unchecked, any other value checked
    std::string pageCountText;

    // Window-level variables that outlive a run.
    std::string backgroundColor;
    std::string linkColor;
    std::string textColor;
    std::string fontName;
    std::string bodyTag;
    std::string fontStyleBlock;
    std::string runKeywordFile;
    std::string templateFile;
    bool sampleCodeShown = false;

    bool numberedNames() const { return !keywordNames; }

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
