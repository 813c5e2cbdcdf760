// The rules behind the Installation page that need no window: the colour
// schemes and the gradient of the background preview, the placement of
// bitmaps and of the shadowed title, the title height field, the title mode
// swap, file names relative to the project, and the layout scaling.
#pragma once
#include <cstdint>
#include <string>

#include "builder/project/project_document.h"

namespace tw {

// The platform's MulDiv: a * b / c with a 64-bit product, rounded to the
// nearest integer (halves away from zero); -1 when c is 0.
int32_t mulDiv(int32_t a, int32_t b, int32_t c);

struct Rgb {
  int r = 0, g = 0, b = 0;
  bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

constexpr int kColourSchemeCount = 11;
constexpr int kGradientBands = 256;
extern const char* const kColourSchemeNames[kColourSchemeCount];
extern const char* const kLogoPlacementNames[5];

// Index 0..4 are gradients; 5..10 and every other index are solid, teal
// for 10 and anything out of range.
bool schemeIsGradient(int scheme);
Rgb schemeBaseColour(int scheme);
// Colour of band 0..255 of a gradient from `base` to its bit-6 colour.
Rgb gradientBandColour(const Rgb& base, int band);
// Rows [first, end) of band i in a rectangle `height` rows high from `top`.
int gradientBandTop(int top, int height, int band);

struct PixelRect {
  int x = 0, y = 0, width = 0, height = 0;
};

// Placement codes of a bitmap in the preview.
enum BitmapPlacement : int {
  kPlaceTopLeft = 1,
  kPlaceTopRight = 2,
  kPlaceCentred = 3,
  kPlaceBottomRight = 4,
  kPlaceBottomLeft = 5,
  kPlaceTopCentre = 6,
};
// A bitmap of bitmapWidth x bitmapHeight in a preview of W x H client
// pixels: scaled by W / 640 and placed with a margin of W * 10 / 640.
PixelRect placeBitmap(int code, int bitmapWidth, int bitmapHeight, int W, int H);
// The code of the title bitmap for the title alignment.
int titlePlacement(TitleAlignment align);

// The number in the title height field, 36 when it is none.
int titleHeightValue(const std::string& text);
// What typing leaves in the height field: its digits.
std::string titleHeightDigits(const std::string& text);
// The field on leaving it: below 8, above 64 or no number becomes "36".
std::string normalisedTitleHeight(const std::string& text);

struct TitleLayout {
  int fontHeight = 0;  // pixels
  int x = 0;           // shadow position; the white text is at (x - shift, y - shift)
  int y = 0;
  int shift = 0;
};
// The shadowed title text of width `textWidth` in a preview W pixels wide.
int titleFontHeight(int titleSize, int W);
TitleLayout titleLayout(int titleSize, int W, int textWidth, TitleAlignment align);

// Clicking "Text" or "Bitmap": the title field and the alternate text
// change places when the mode really changes. Returns whether it did.
bool switchTitleMode(ProjectDocument& project, bool titleIsText);

// A name with a drive ("C:..." longer than two characters) as it is, any
// other relative to the project's folder.
std::string resolveAgainstProject(const std::string& projectPath, const std::string& name);
// A chosen file relative to the project folder when it lies below it
// (letter case ignored), else the full path.
std::string relativeToProject(const std::string& projectPath, const std::string& chosen);
// "[first file component]\" + the file's name, for the program and
// read-me buttons.
std::string componentRelativeName(const ProjectDocument& project, const std::string& chosen);

// The layout fitting: a control at design bounds scaled from the design
// size to the fitted size, so that neighbouring controls keep touching.
PixelRect scaleDesignRect(const PixelRect& design, int newWidth, int oldWidth, int newHeight,
                          int oldHeight);

}  // namespace tw
