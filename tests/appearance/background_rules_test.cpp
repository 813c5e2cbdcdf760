// The preview's arithmetic and the Installation page's field rules.
#include "builder/appearance/background_rules.h"

#include <gtest/gtest.h>

#include <vector>

namespace tw {
namespace {

TEST(MulDiv, RoundsToNearestWithHalvesAwayFromZero) {
  EXPECT_EQ(mulDiv(1, 1, 2), 1);
  EXPECT_EQ(mulDiv(-1, 1, 2), -1);
  EXPECT_EQ(mulDiv(10, 1, 3), 3);
  EXPECT_EQ(mulDiv(255, -191, 255), -191);
  EXPECT_EQ(mulDiv(100000, 100000, 100000), 100000);  // the product exceeds 32 bits
  EXPECT_EQ(mulDiv(5, 5, 0), -1);
}

TEST(ColourSchemes, BaseColoursAndTealForEverythingElse) {
  EXPECT_TRUE(schemeIsGradient(0));
  EXPECT_TRUE(schemeIsGradient(4));
  EXPECT_FALSE(schemeIsGradient(5));
  EXPECT_EQ(schemeBaseColour(0), (Rgb{0, 0, 255}));
  EXPECT_EQ(schemeBaseColour(3), (Rgb{255, 0, 0}));
  EXPECT_EQ(schemeBaseColour(9), (Rgb{255, 255, 0}));
  Rgb teal{0, 128, 128};
  for (int index : {10, 11, -1, 255}) {
    EXPECT_FALSE(schemeIsGradient(index)) << index;
    EXPECT_EQ(schemeBaseColour(index), teal) << index;
  }
  EXPECT_STREQ(kColourSchemeNames[1], "Gradient Gr\xFCn");
}

TEST(Gradient, EndsAtTheBaseColourReducedToBitSix) {
  EXPECT_EQ(gradientBandColour({0, 0, 255}, 0), (Rgb{0, 0, 255}));
  EXPECT_EQ(gradientBandColour({0, 0, 255}, 255), (Rgb{0, 0, 64}));
  EXPECT_EQ(gradientBandColour({255, 255, 0}, 255), (Rgb{64, 64, 0}));
  // Teal's 128 has no bit 6 and goes to 0.
  EXPECT_EQ(gradientBandColour({0, 128, 128}, 255), (Rgb{0, 0, 0}));
  // Monotonic on the way down.
  for (int i = 1; i < kGradientBands; ++i)
    EXPECT_LE(gradientBandColour({0, 0, 255}, i).b, gradientBandColour({0, 0, 255}, i - 1).b);
}

TEST(Gradient, BandsCoverEveryRowOnceInThePreviewBox) {
  // A 129-row box less the 2-pixel edge and one more pixel on each side.
  const int top = 3, height = 123;
  std::vector<int> covered(height, 0);
  for (int i = 0; i < kGradientBands; ++i)
    for (int y = gradientBandTop(top, height, i); y < gradientBandTop(top, height, i + 1); ++y)
      ++covered.at(y - top);
  for (int y = 0; y < height; ++y) EXPECT_EQ(covered[y], 1) << "row " << y;
  EXPECT_EQ(gradientBandTop(top, height, 0), top);
  EXPECT_EQ(gradientBandTop(top, height, kGradientBands), top + height);
}

TEST(BitmapPlacement, LogoOfNinetySixPixelsInTheSmallPreview) {
  PixelRect r = placeBitmap(kPlaceBottomRight, 96, 96, 293, 129);
  EXPECT_EQ(r.width, 43);
  EXPECT_EQ(r.height, 43);
  EXPECT_EQ(r.x, 293 - 4 - 43);
  EXPECT_EQ(r.y, 129 - 4 - 43);
}

TEST(BitmapPlacement, EveryCodeAtFullSize) {
  const int W = 640, H = 480;
  EXPECT_EQ(placeBitmap(kPlaceTopLeft, 100, 50, W, H).x, 10);
  EXPECT_EQ(placeBitmap(kPlaceTopLeft, 100, 50, W, H).y, 10);
  EXPECT_EQ(placeBitmap(kPlaceTopRight, 100, 50, W, H).x, 530);
  EXPECT_EQ(placeBitmap(kPlaceCentred, 100, 50, W, H).x, 270);
  EXPECT_EQ(placeBitmap(kPlaceCentred, 100, 50, W, H).y, 215);
  EXPECT_EQ(placeBitmap(kPlaceBottomLeft, 100, 50, W, H).y, 420);
  EXPECT_EQ(placeBitmap(kPlaceTopCentre, 100, 50, W, H).x, 270);
  EXPECT_EQ(placeBitmap(0, 100, 50, W, H).y, 10);  // unknown codes sit at the top centre
  // Height scales by the width ratio, too.
  EXPECT_EQ(placeBitmap(kPlaceTopLeft, 64, 64, 320, 400).height, 32);
  EXPECT_EQ(titlePlacement(TitleAlignment::Left), kPlaceTopLeft);
  EXPECT_EQ(titlePlacement(TitleAlignment::Centred), kPlaceTopCentre);
  EXPECT_EQ(titlePlacement(TitleAlignment::Right), kPlaceTopRight);
}

TEST(TitleHeight, OutOfRangeAndNonNumbersBecomeThirtySix) {
  EXPECT_EQ(normalisedTitleHeight("7"), "36");
  EXPECT_EQ(normalisedTitleHeight("65"), "36");
  EXPECT_EQ(normalisedTitleHeight("8"), "8");
  EXPECT_EQ(normalisedTitleHeight("64"), "64");
  EXPECT_EQ(normalisedTitleHeight(""), "36");
  EXPECT_EQ(normalisedTitleHeight("99999999999"), "36");
  EXPECT_EQ(titleHeightDigits("4a-2 x"), "42");
  EXPECT_EQ(titleHeightValue("abc"), 36);
  EXPECT_EQ(titleHeightValue("20"), 20);
}

TEST(TitleText, LayoutForEachAlignment) {
  const int W = 293;
  EXPECT_EQ(titleFontHeight(36, W), 16);
  TitleLayout left = titleLayout(36, W, 100, TitleAlignment::Left);
  EXPECT_EQ(left.x, 6);
  EXPECT_EQ(left.y, 6);
  EXPECT_EQ(left.shift, 1);
  EXPECT_EQ(titleLayout(36, W, 100, TitleAlignment::Centred).x, 96);
  EXPECT_EQ(titleLayout(36, W, 100, TitleAlignment::Right).x, 293 - 100 - 6);
  EXPECT_EQ(titleLayout(36, 640, 100, TitleAlignment::Left).shift, 4);
  EXPECT_EQ(titleLayout(36, 100, 10, TitleAlignment::Left).shift, 1);  // never below one pixel
}

TEST(TitleMode, SwitchingAndBackRestoresBothTexts) {
  ProjectDocument project;
  project.EditTitleBmp = "Meine Anwendung";
  project.TitleAlternate = "titel.bmp";
  EXPECT_FALSE(switchTitleMode(project, true));  // already text: nothing moves
  EXPECT_EQ(project.EditTitleBmp, "Meine Anwendung");
  EXPECT_TRUE(switchTitleMode(project, false));
  EXPECT_FALSE(project.RadioTitleText);
  EXPECT_EQ(project.EditTitleBmp, "titel.bmp");
  EXPECT_EQ(project.TitleAlternate, "Meine Anwendung");
  EXPECT_TRUE(switchTitleMode(project, true));
  EXPECT_EQ(project.EditTitleBmp, "Meine Anwendung");
  EXPECT_EQ(project.TitleAlternate, "titel.bmp");
}

TEST(ProjectRelativeNames, ResolveAndShorten) {
  const std::string project = "C:\\Proj\\demo.tbw";
  EXPECT_EQ(resolveAgainstProject(project, "bilder\\logo.bmp"), "C:\\Proj\\bilder\\logo.bmp");
  EXPECT_EQ(resolveAgainstProject(project, "D:\\logo.bmp"), "D:\\logo.bmp");
  EXPECT_EQ(resolveAgainstProject(project, "C:"), "C:\\Proj\\C:");  // too short for a drive name
  EXPECT_EQ(relativeToProject(project, "c:\\PROJ\\bilder\\logo.bmp"), "bilder\\logo.bmp");
  EXPECT_EQ(relativeToProject(project, "C:\\Projekte\\logo.bmp"), "C:\\Projekte\\logo.bmp");
  EXPECT_EQ(relativeToProject(project, "C:\\Proj"), "C:\\Proj");
}

TEST(ProjectRelativeNames, ComponentNameForProgramAndReadMe) {
  ProjectDocument project;
  project.ResetProject(NoLanguageTexts());
  EXPECT_EQ(componentRelativeName(project, "C:\\src\\bin\\app.exe"), "[Programmdateien]\\app.exe");
}

TEST(LayoutFitting, NeighboursStayTouchingAfterScaling) {
  PixelRect a{10, 10, 95, 23}, b{105, 10, 80, 23};
  PixelRect sa = scaleDesignRect(a, 599, 479, 446, 357);
  PixelRect sb = scaleDesignRect(b, 599, 479, 446, 357);
  EXPECT_EQ(sa.x + sa.width, sb.x);
  EXPECT_EQ(sa.y, sb.y);
  EXPECT_EQ(sa.height, sb.height);
  PixelRect same = scaleDesignRect(a, 479, 479, 357, 357);
  EXPECT_EQ(same.x, a.x);
  EXPECT_EQ(same.width, a.width);
}

}  // namespace
}  // namespace tw
