#include "qt/platform/QtStyleDialogs.h"
#include "core/style/BodyStyle.h"

#include <QColor>

#include <gtest/gtest.h>

namespace vantiro {
namespace {

TEST(QtStyleDialogs, ChosenColourReachesTheColourStringInRedGreenBlueOrder)
{
    EXPECT_EQ(QtStyleDialogs::colorValue(QColor(255, 128, 0)), 0x0080FFu);
    const auto html = [](const QColor& color) {
        return colorToHtml(static_cast<std::int32_t>(QtStyleDialogs::colorValue(color)));
    };
    EXPECT_EQ(html(QColor(255, 128, 0)), "#ff8000");
    EXPECT_EQ(html(QColor(0, 0, 255)), "#0000ff");
    EXPECT_EQ(html(QColor(0, 0, 0)), "#000000");
    EXPECT_EQ(html(QColor(1, 2, 3, 0)), "#010203") << "transparency is not part of the value";
}

} // namespace
} // namespace vantiro
