#pragma once

#include <QDialog>
#include <QString>

#include <string>
#include <string_view>

class QPlainTextEdit;

namespace vantiro {

// A small window that shows a file read-only as text, as UTF-8 when it is valid UTF-8 and as
// Windows-1252 otherwise: what the program shows of a
// remote file, instead of handing it to whatever the desktop associates with its type. It
// reads the file once and keeps no hold on it; it deletes itself when closed.
class TextViewer final : public QDialog {
    Q_OBJECT
public:
    // More than this is not read; the viewer says so at the end of the text.
    static constexpr qint64 maxBytes = 16 * 1024 * 1024;

    TextViewer(const std::string& path, const QString& name, QWidget* parent);

    const QPlainTextEdit& textView() const { return *text_; }

    // The text of a file's bytes; cut says that the bytes end at the limit, not at the file's end.
    static QString decode(std::string_view bytes, bool cut);

private:
    QPlainTextEdit* text_;
};

} // namespace vantiro
