#pragma once

class QCoreApplication;

namespace vantiro {

// Qt's own texts (the buttons of input boxes, the file, colour and font dialogs, the edit menus
// of text fields) in German, like every other text of the program.
class QtTranslation final {
public:
    // Loads Qt's German translation for the application's lifetime. False when it is not
    // installed; Qt's texts then stay English and everything else works as before.
    static bool installGerman(QCoreApplication& application);
};

} // namespace vantiro
