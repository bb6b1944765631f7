#include "qt/platform/QtTranslation.h"
#include "support/QtTestApplication.h"

#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

#include <gtest/gtest.h>

#include <memory>

namespace vantiro {
namespace {

QStringList buttonTexts(const QWidget& dialog)
{
    QStringList texts;
    for (const QPushButton* button : dialog.findChildren<QPushButton*>())
        texts << button->text();
    return texts;
}

QStringList actionTexts(const QMenu& menu)
{
    QStringList texts;
    for (const QAction* action : menu.actions())
        texts << action->text().section(u'\t', 0, 0);
    return texts;
}

TEST(QtTranslation, InputBoxesAndTextFieldMenusSpeakGerman)
{
    ASSERT_TRUE(QtTranslation::installGerman(test::qtTestApplication()))
        << "Qt's German translation (qt6-translations-l10n) is not installed";

    QInputDialog box;
    box.setLabelText(QStringLiteral("Wie lautet der Titel Ihrer Seite (max. 64 Zeichen) ?"));
    box.show(); // the buttons are made when the box is first shown
    EXPECT_TRUE(buttonTexts(box).contains(QStringLiteral("Abbrechen")))
        << buttonTexts(box).join(',').toStdString();
    EXPECT_FALSE(buttonTexts(box).contains(QStringLiteral("Cancel")));

    QLineEdit field;
    const std::unique_ptr<QMenu> menu(field.createStandardContextMenu());
    EXPECT_TRUE(actionTexts(*menu).contains(QStringLiteral("&Rückgängig")))
        << actionTexts(*menu).join(',').toStdString();
}

} // namespace
} // namespace vantiro
