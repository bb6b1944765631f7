#pragma once

#include <QString>

#include <string>

class QPlainTextEdit;

namespace vantiro {

// Conversions at the edge between the core's strings and the widgets' texts.
class WidgetText final {
public:
    // Windows-1252 display and page texts.
    static QString fromCp1252(const std::string& text);
    static std::string toCp1252(const QString& text);

    // Multi-line texts keep their exact line ends through the widget: a CR LF (or a lone CR)
    // becomes a paragraph break and comes back as CR LF, a lone LF becomes a line separator
    // inside the paragraph and comes back as a lone LF.
    static QString multiLineFromCp1252(const std::string& text);
    static std::string multiLineToCp1252(const QPlainTextEdit& edit);

    // UTF-8 display texts (captions and messages of a generation run).
    static QString fromUtf8(const std::string& text);
};

} // namespace vantiro
