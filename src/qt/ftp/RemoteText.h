#pragma once

#include <QString>

#include <string>

namespace vantiro {

// Conversions between the FTP session's byte strings and the window's texts.
class RemoteText final {
public:
    // Names and responses are shown as UTF-8 when they are valid UTF-8, else as Windows-1252;
    // the session's own texts are Windows-1252 and never valid UTF-8 once they hold an umlaut.
    static QString display(const std::string& bytes);
    // Typed names go to the server as UTF-8, which is what current servers expect.
    static std::string typed(const QString& text);
};

} // namespace vantiro
