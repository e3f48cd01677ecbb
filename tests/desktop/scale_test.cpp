// Where the window picture sits at any window size, and how mouse points map back to it.
#include <gtest/gtest.h>

#include "platform/WindowScale.h"

namespace zol::platform {
namespace {

constexpr int kW = 580, kH = 388;

TEST(WindowScale, PictureTakesTheLargestWholeScaleCentredWithBars) {
    struct Case {
        int dw, dh, scale, left, top;
    } cases[] = {
        {580, 388, 1, 0, 0},        // exactly the layout
        {1159, 775, 1, 289, 194},   // one pixel short of double: still 1; odd rows above
        {1160, 776, 2, 0, 0},
        {1920, 1080, 2, 380, 152},  // full HD: height limits
        {3840, 2160, 5, 470, 110},  // 4K
        {2000, 400, 1, 710, 6},     // a wide strip: the height decides
        {400, 300, 1, -90, -44},    // smaller than the layout: scale 1, cropped evenly
        {0, -5, 1, -289, -194},     // nonsense sizes count as 1 x 1
    };
    for (const Case& c : cases) {
        const PicturePlacement p = FitPicture(c.dw, c.dh, kW, kH);
        EXPECT_EQ(p.Scale, c.scale) << c.dw << "x" << c.dh;
        EXPECT_EQ(p.Left, c.left) << c.dw << "x" << c.dh;
        EXPECT_EQ(p.Top, c.top) << c.dw << "x" << c.dh;
    }
}

// The presenter's own pixels are checked against this mapping in present_mapping_test;
// here what a plain window cannot show: bars, high density and a cropped picture.
TEST(WindowScale, MousePointsMapBackThroughTheSameScaleAndOffset) {
    EXPECT_FALSE(WindowToPicture(379, 500, 1920, 1080, 1920, 1080, kW, kH));  // left bar
    EXPECT_FALSE(WindowToPicture(-1, 10, kW, kH, kW, kH, kW, kH));            // outside
    // A 960 x 540 window of points on a 1920 x 1080 drawable: the point covering device
    // pixels (480, 252) is logical pixel (50, 50).
    auto p = WindowToPicture(240, 126, 960, 540, 1920, 1080, kW, kH);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->X, 50);
    EXPECT_EQ(p->Y, 50);
    // A window smaller than the layout: the drawn part starts at logical pixel (90, 44).
    p = WindowToPicture(0, 0, 400, 300, 400, 300, kW, kH);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->X, 90);
    EXPECT_EQ(p->Y, 44);
}

TEST(WindowScale, FirstWindowSizeFitsTheUsableDisplayWithItsFrame) {
    EXPECT_EQ(WindowScaleFor(1920, 1080, 0, 0, kW, kH), 2);
    EXPECT_EQ(WindowScaleFor(1920, 1048, 8, 40, kW, kH), 2);  // a panel and a title bar
    EXPECT_EQ(WindowScaleFor(1366, 768, 8, 40, kW, kH), 1);
    EXPECT_EQ(WindowScaleFor(3840, 2160, 8, 40, kW, kH), 5);
    EXPECT_EQ(WindowScaleFor(1740, 1164, 0, 0, kW, kH), 3);   // exactly three
    EXPECT_EQ(WindowScaleFor(1740, 1164, 0, 1, kW, kH), 2);   // one pixel too few
    EXPECT_EQ(WindowScaleFor(640, 480, 8, 40, kW, kH), 1);    // never below 1
    EXPECT_EQ(WindowScaleFor(100, 100, 500, 500, kW, kH), 1);
}

}  // namespace
}  // namespace zol::platform
