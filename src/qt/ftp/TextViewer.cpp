#include "qt/ftp/TextViewer.h"

#include "core/text/Cp1252.h"
#include "qt/platform/LocalPath.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

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

} // namespace

TextViewer::TextViewer(const std::string& path, const QString& name, QWidget* parent)
    : QDialog(parent), text_(new QPlainTextEdit(this))
{
    setObjectName(QStringLiteral("TextViewer"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowTitle(titleText(name) + QStringLiteral(" - Vantiro 3.0"));
    text_->setObjectName(QStringLiteral("txtViewer"));
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
    QString content = QString::fromStdString(Cp1252::toUtf8(
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))));
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
