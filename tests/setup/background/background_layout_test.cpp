// Background colours, bands, placement and the stretched picture part.
#include <gtest/gtest.h>

#include "setup/core/background/background_layout.h"

namespace tw {
namespace {

TEST(Background, SchemesGiveGradientsOrSolidColours) {
  EXPECT_EQ(colourScheme(1).top, 0xFF0000u);
  EXPECT_EQ(colourScheme(1).bottom, 0x400000u);
  EXPECT_EQ(colourScheme(5).bottom, 0x004040u);
  EXPECT_EQ(colourScheme(6).top, colourScheme(6).bottom);
  EXPECT_EQ(colourScheme(6).top, 0xFF0000u);
  EXPECT_EQ(colourScheme(11).top, 0x808000u);
  EXPECT_EQ(colourScheme(11).bottom, 0x808000u);
  EXPECT_EQ(colourScheme(0).bottom, 0u);  // teal to black
}

TEST(Background, BandsRunFromTheTopColourToTheBottomColour) {
  SchemeColours blue = colourScheme(1);
  EXPECT_EQ(bandColour(blue, 0), 0xFF0000u);
  EXPECT_EQ(bandColour(blue, 255), 0x400000u);
  EXPECT_EQ(bandColour(blue, 128), 0x9F0000u);  // 255 + 128 * (64 - 255) / 255 = 255 - 95.9, rounded
  // The bands cover the height exactly once.
  EXPECT_EQ(bandTop(768, 0), 0);
  EXPECT_EQ(bandTop(768, 256), 768);
  EXPECT_EQ(bandTop(100, 1), 0);  // 0.39 rounds down
  EXPECT_EQ(bandTop(100, 2), 1);  // 0.78 rounds up
}

TEST(Background, PicturesGoToTheirCorners) {
  auto at = [](int code) { Placement p = placePicture(code, 800, 600, 100, 50); return std::make_pair(p.left, p.top); };
  EXPECT_EQ(at(1), std::make_pair(10, 10));
  EXPECT_EQ(at(2), std::make_pair(690, 10));
  EXPECT_EQ(at(3), std::make_pair(350, 275));
  EXPECT_EQ(at(4), std::make_pair(690, 540));
  EXPECT_EQ(at(0x85), std::make_pair(10, 540));  // bit 7 asks for the fade only
  EXPECT_EQ(at(6), std::make_pair(350, 10));
  EXPECT_EQ(at(0), std::make_pair(350, 10));
  EXPECT_EQ(placePicture(3, 801, 601, 100, 50).left, 350);  // halves toward zero
}

TEST(Background, StretchedPartKeepsTheWindowAspect) {
  EXPECT_EQ(stretchSource(800, 600, 640, 240).width, 320);  // wider picture: cut at the right
  EXPECT_EQ(stretchSource(800, 600, 640, 240).height, 240);
  EXPECT_EQ(stretchSource(800, 400, 640, 480).width, 640);  // taller picture: cut at the bottom
  EXPECT_EQ(stretchSource(800, 400, 640, 480).height, 320);
  EXPECT_EQ(stretchSource(0, 400, 640, 480).width, 0);
  EXPECT_EQ(stretchSource(800, 400, 0, 480).height, 0);
}

TEST(Background, MultiplyDivideRoundsHalvesAwayFromZero) {
  EXPECT_EQ(mulDivRounded(3, 1, 2), 2);
  EXPECT_EQ(mulDivRounded(-3, 1, 2), -2);
  EXPECT_EQ(mulDivRounded(5, 7, 0), 0);
}

}  // namespace
}  // namespace tw
