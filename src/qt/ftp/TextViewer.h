#pragma once

#include <QDialog>
#include <QString>

#include <string>

class QPlainTextEdit;

namespace vantiro {

// A small window that shows a file read-only as Windows-1252 text: what the program shows of a
// remote file, instead of handing it to whatever the desktop associates with its type. It
// reads the file once and keeps no hold on it; it deletes itself when closed.
class TextViewer final : public QDialog {
    Q_OBJECT
public:
    // More than this is not read; the viewer says so at the end of the text.
    static constexpr qint64 maxBytes = 16 * 1024 * 1024;

    TextViewer(const std::string& path, const QString& name, QWidget* parent);

    const QPlainTextEdit& textView() const { return *text_; }

private:
    QPlainTextEdit* text_;
};

} // namespace vantiro
