#include "qt/platform/QtMessageBoxes.h"

#include <QInputDialog>
#include <QMessageBox>

namespace vantiro {
namespace {

const QString applicationTitle = QStringLiteral("Vantiro 3.0");

QString titleOrApplication(const QString& title)
{
    return title.isEmpty() ? applicationTitle : title;
}

} // namespace

void QtMessageBoxes::message(const QString& title, const QString& text, Icon icon)
{
    QMessageBox box(icon == Icon::Exclamation ? QMessageBox::Warning : QMessageBox::NoIcon,
                    titleOrApplication(title), text, QMessageBox::Ok, parent_.widget());
    box.exec();
}

std::optional<QString> QtMessageBoxes::input(const QString& title, const QString& prompt,
                                             const QString& preset)
{
    bool confirmed = false;
    const QString answer = QInputDialog::getText(parent_.widget(), titleOrApplication(title),
                                                 prompt, QLineEdit::Normal, preset, &confirmed);
    if (!confirmed)
        return std::nullopt;
    return answer;
}

} // namespace vantiro
