#include "core/style/CssFontFamily.h"
#include "core/text/Cp1252.h"
#include "support/QtTestApplication.h"

#include <QFont>
#include <QFontDatabase>
#include <QMap>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace vantiro {
namespace {

// How a browser reads a font-family value of one family: a quoted string, or identifiers
// separated by single blanks none of which is a keyword. Returns the family it names, or
// nothing when the value is not one family.
std::optional<QString> familyCssReads(const QString& value)
{
    if (value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"')) {
        QString family;
        for (qsizetype i = 1; i + 1 < value.size(); ++i) {
            if (value[i] == u'"')
                return std::nullopt;
            if (value[i] == u'\\')
                ++i;
            family += value[i];
        }
        return family;
    }
    static const QRegularExpression identifiers(
        QStringLiteral("^(-?[A-Za-z_\\x{A0}-\\x{FFFF}][-A-Za-z0-9_\\x{A0}-\\x{FFFF}]*)"
                       "( (-?[A-Za-z_\\x{A0}-\\x{FFFF}][-A-Za-z0-9_\\x{A0}-\\x{FFFF}]*))*$"));
    if (!identifiers.match(value).hasMatch())
        return std::nullopt;
    for (const QString& word : value.split(u' ')) {
        if (QStringList{"inherit", "initial", "unset", "default", "serif", "sans-serif",
                        "monospace", "cursive", "fantasy"}
                .contains(word.toLower()) &&
            word != value)
            return std::nullopt;
    }
    return value;
}

QString cssFor(const QString& family)
{
    return QString::fromStdString(
        Cp1252::toUtf8(cssFontFamily(Cp1252::fromUtf8(family.toStdString()))));
}

TEST(FontFamilyNames, EveryFamilyOfThisMachinesFontDialogBecomesOneCssFamily)
{
    test::qtTestApplication();
    const QStringList families = QFontDatabase::families();
    ASSERT_FALSE(families.isEmpty());
    static const QRegularExpression foundry(QStringLiteral("\\s*\\[[^\\]]*\\]$"));
    for (const QString& family : families) {
        const QString css = cssFor(family);
        const std::optional<QString> read = familyCssReads(css);
        ASSERT_TRUE(read.has_value()) << family.toStdString() << " -> " << css.toStdString();
        QString expected = family;
        expected.remove(foundry);
        // A name the code page cannot hold comes out with "?" for what it lacks.
        const bool fitsCodePage =
            QString::fromStdString(Cp1252::toUtf8(Cp1252::fromUtf8(family.toStdString()))) ==
            family;
        // Qt lists its generic families ("Sans Serif", "Monospace") among the real ones.
        static const QMap<QString, QString> generics = {
            {"sans serif", "sans-serif"}, {"sans", "sans-serif"}, {"serif", "serif"},
            {"monospace", "monospace"},   {"mono", "monospace"},  {"cursive", "cursive"},
            {"fantasy", "fantasy"}};
        if (generics.contains(expected.toLower())) {
            EXPECT_EQ(*read, generics.value(expected.toLower())) << family.toStdString();
        } else if (fitsCodePage) {
            EXPECT_EQ(*read, expected) << family.toStdString();
        }
    }
}

TEST(FontFamilyNames, TheDialogsPreselectedAndStyleHintFamiliesBecomeReadableCss)
{
    test::qtTestApplication();
    const QString preselected = QApplication::font().family();
    EXPECT_TRUE(familyCssReads(cssFor(preselected)).has_value()) << preselected.toStdString();
    for (auto hint : {QFont::SansSerif, QFont::Serif, QFont::Monospace}) {
        QFont font;
        font.setStyleHint(hint);
        const QString css = cssFor(font.defaultFamily());
        EXPECT_TRUE(familyCssReads(css).has_value()) << font.defaultFamily().toStdString();
    }
}

} // namespace
} // namespace vantiro
