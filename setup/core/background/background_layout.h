// The arithmetic of the setup background: colour schemes, the 256 gradient
// bands, where title and logo go, and which part of the background picture
// is stretched over the window.
#pragma once
#include <cstdint>

namespace tw {

struct SchemeColours {
  uint32_t top;     // 0x00BBGGRR
  uint32_t bottom;  // equal to top for a solid background
};
// The scheme of the first character of settings string 8 (0 when missing).
SchemeColours colourScheme(int code);

constexpr int kGradientBands = 256;
// Band n covers the rows from bandTop(H, n) to bandTop(H, n + 1).
int bandTop(int height, int band);
uint32_t bandColour(SchemeColours colours, int band);

struct Placement {
  int left, top;
};
// Position code (bits 0-2 of a layout character) for a w x h picture in a
// W x H client area.
Placement placePicture(int code, int clientWidth, int clientHeight, int width, int height);

struct SourceSize {
  int width, height;
};
// The part of a width x height picture, from its top-left corner, that keeps
// the client area's aspect when stretched over it.
SourceSize stretchSource(int clientWidth, int clientHeight, int width, int height);

// a * b / c rounded to the nearest, halves away from zero, as the system's
// multiply-divide does; 0 when c is 0.
int mulDivRounded(int a, int b, int c);

}  // namespace tw
