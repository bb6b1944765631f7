#pragma once

#include <QString>

class QWidget;

namespace vantiro {

class MessageBoxes;

// Opens the FTP window modally over the main window, starting in the program's doorpages.
class UploadLauncher final {
public:
    static void open(MessageBoxes& boxes, const QString& programFolder, QWidget* parent);
};

} // namespace vantiro
