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

QMessageBox::Icon boxIcon(MessageBoxes::Icon icon)
{
    switch (icon) {
    case MessageBoxes::Icon::Exclamation:
        return QMessageBox::Warning;
    case MessageBoxes::Icon::Question:
        return QMessageBox::Question;
    default:
        return QMessageBox::NoIcon;
    }
}

} // namespace

void QtMessageBoxes::message(const QString& title, const QString& text, Icon icon)
{
    QMessageBox box(boxIcon(icon), titleOrApplication(title), text, QMessageBox::Ok,
                    parent_.widget());
    box.exec();
}

bool QtMessageBoxes::question(const QString& title, const QString& text, Icon icon)
{
    QMessageBox box(boxIcon(icon), titleOrApplication(title), text,
                    QMessageBox::Yes | QMessageBox::No, parent_.widget());
    // Enter or Escape must never say yes by accident.
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
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
