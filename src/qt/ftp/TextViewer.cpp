#include "qt/ftp/TextViewer.h"

#include "core/ftp/RemoteName.h"
#include "core/text/Cp1252.h"
#include "qt/platform/LocalPath.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <optional>

namespace vantiro {
namespace {

// A window title shows no control characters, whatever the name holds.
QString titleText(QString name)
{
    for (QChar& c : name) {
        if (c.category() == QChar::Other_Control)
            c = QChar(0xFFFD);
    }
    return name;
}

// How many bytes a character takes that begins with this byte; 0 for a byte inside one.
std::size_t sequenceLength(unsigned char lead)
{
    if (lead >= 0xF0)
        return 4;
    if (lead >= 0xE0)
        return 3;
    if (lead >= 0xC0)
        return 2;
    return lead >= 0x80 ? 0 : 1;
}

// How many of the bytes are UTF-8 text, or nothing when they are not UTF-8. A file cut at the
// limit may end inside a character; the bytes of that character are left out.
std::optional<std::size_t> utf8Length(std::string_view bytes, bool cut)
{
    std::size_t length = bytes.size();
    if (cut) {
        std::size_t start = bytes.size();
        while (start > 0 && bytes.size() - start < 3 &&
               sequenceLength(static_cast<unsigned char>(bytes[start - 1])) == 0)
            --start;
        if (start > 0) {
            const std::size_t needed = sequenceLength(static_cast<unsigned char>(bytes[start - 1]));
            if (needed > bytes.size() - start + 1)
                length = start - 1;
        }
    }
    if (!isUtf8(bytes.substr(0, length)))
        return std::nullopt;
    return length;
}

} // namespace

QString TextViewer::decode(std::string_view bytes, bool cut)
{
    const std::optional<std::size_t> length = utf8Length(bytes, cut);
    if (!length)
        return QString::fromStdString(Cp1252::toUtf8(bytes));
    bytes = bytes.substr(0, *length);
    static constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";
    if (bytes.starts_with(byteOrderMark))
        bytes.remove_prefix(byteOrderMark.size());
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

TextViewer::TextViewer(const std::string& path, const QString& name, QWidget* parent)
    : QDialog(parent), text_(new QPlainTextEdit(this))
{
    setObjectName(QStringLiteral("TextViewer"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowTitle(titleText(name) + QStringLiteral(" - Vantiro 3.0"));
    text_->setObjectName(QStringLiteral("txtViewer"));
    text_->setAccessibleName(QStringLiteral("Inhalt von ") + titleText(name));
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    QFile file(LocalPath::toQt(path));
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly))
        bytes = file.read(maxBytes + 1);
    const bool cut = bytes.size() > maxBytes;
    if (cut)
        bytes.truncate(maxBytes);
    QString content =
        decode(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), cut);
    if (cut)
        content += QStringLiteral("\n[... nach 16 MB abgeschnitten]");
    text_->setPlainText(content);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("Schließen"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    layout->addWidget(buttons);
    resize(720, 520);
}

} // namespace vantiro
