#include "qt/ftp/TextViewer.h"
#include "support/QtTestApplication.h"
#include "support/TempDir.h"

#include <QAccessible>
#include <QPlainTextEdit>

#include <gtest/gtest.h>

namespace vantiro {
namespace {

class TextViewerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::qtTestApplication(); }

    // The text a viewer shows for a file of these bytes.
    QString shown(const std::string& bytes)
    {
        test::writeFile(folder.file("datei.htm"), bytes);
        TextViewer viewer(folder.file("datei.htm"), QStringLiteral("datei.htm"), nullptr);
        return viewer.textView().toPlainText();
    }

    test::TempDir folder;
};

TEST_F(TextViewerTest, ShowsValidUtf8AsUtf8AndEverythingElseAsWindows1252)
{
    EXPECT_EQ(shown("Gr\xC3\xB6\xC3\x9F"
                    "e \xE2\x82\xAC"),
              QStringLiteral("Größe €"));
    EXPECT_EQ(shown("\xEF\xBB\xBF"
                    "\xC3\xA4"),
              QStringLiteral("ä"))
        << "the byte order mark is not shown";
    EXPECT_EQ(shown("Gr\xF6\xDF"
                    "e \x80"),
              QStringLiteral("Größe €"));
    EXPECT_EQ(shown("\xC3\xA4 und \xE4"), QStringLiteral("Ã¤ und ä")) << "one bad byte decides";
    EXPECT_EQ(shown("plain"), QStringLiteral("plain"));
}

TEST_F(TextViewerTest, AUtf8FileCutAtTheLimitInsideACharacterStaysUtf8)
{
    EXPECT_EQ(TextViewer::decode("\xC3\xA4\xE2\x82", true), QStringLiteral("ä"));
    EXPECT_EQ(TextViewer::decode("\xC3\xA4\xE2\x82", false), QStringLiteral("Ã¤â‚"));
    EXPECT_EQ(TextViewer::decode("\xE4\xE2\x82", true), QStringLiteral("äâ‚"));
}

TEST_F(TextViewerTest, TheTextIsNamedForScreenReaders)
{
    test::writeFile(folder.file("a.txt"), "x");
    TextViewer viewer(folder.file("a.txt"), QStringLiteral("a.txt"), nullptr);
    QAccessibleInterface* face =
        QAccessible::queryAccessibleInterface(const_cast<QPlainTextEdit*>(&viewer.textView()));
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->text(QAccessible::Name), QStringLiteral("Inhalt von a.txt"));
}

} // namespace
} // namespace vantiro
