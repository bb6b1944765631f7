#pragma once

#include <QString>

namespace vantiro {

// The open-file dialog. Window handlers reach it only through this interface, so tests can
// answer it with a scripted fake instead of blocking on a real dialog.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;

    // filter is in the platform's own form, "description (pattern)". Returns the chosen file's
    // full path, or an empty text when the user cancelled.
    virtual QString openFile(const QString& initialFolder, const QString& filter) = 0;
};

} // namespace vantiro
