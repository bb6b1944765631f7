#include "qt/main/WidgetText.h"

#include "core/text/Cp1252.h"

#include <QPlainTextEdit>
#include <QTextDocument>

namespace vantiro {
namespace {

constexpr QChar paragraphBreak(QChar::ParagraphSeparator);
constexpr QChar lineBreak(QChar::LineSeparator);

} // namespace

QString WidgetText::fromCp1252(const std::string& text)
{
    return QString::fromStdString(Cp1252::toUtf8(text));
}

std::string WidgetText::toCp1252(const QString& text)
{
    return Cp1252::fromUtf8(text.toStdString());
}

QString WidgetText::multiLineFromCp1252(const std::string& text)
{
    const QString plain = fromCp1252(text);
    QString shown;
    shown.reserve(plain.size());
    for (qsizetype i = 0; i < plain.size(); ++i) {
        const QChar c = plain.at(i);
        if (c == u'\r') {
            shown += paragraphBreak;
            if (i + 1 < plain.size() && plain.at(i + 1) == u'\n')
                ++i;
        } else if (c == u'\n') {
            shown += lineBreak;
        } else {
            shown += c;
        }
    }
    return shown;
}

std::string WidgetText::multiLineToCp1252(const QPlainTextEdit& edit)
{
    QString text = edit.document()->toRawText();
    text.replace(lineBreak, u'\n');
    text.replace(paragraphBreak, QStringLiteral("\r\n"));
    return toCp1252(text);
}

QString WidgetText::fromUtf8(const std::string& text)
{
    return QString::fromStdString(text);
}

} // namespace vantiro
