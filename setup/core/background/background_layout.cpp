// Background arithmetic.
#include "setup/core/background/background_layout.h"

#include <cmath>
#include <cstdlib>

namespace tw {
namespace {
constexpr uint32_t kTeal = 0x808000;
constexpr uint32_t kDarken = 0x404040;  // each channel keeps only its bit 6
constexpr uint32_t kSchemeColour[5] = {0xFF0000, 0x00FF00, 0xFF00FF, 0x0000FF, 0x00FFFF};
constexpr int kMargin = 10;
}  // namespace

SchemeColours colourScheme(int code) {
  if (code >= 1 && code <= 5) return {kSchemeColour[code - 1], kSchemeColour[code - 1] & kDarken};
  if (code >= 6 && code <= 10) return {kSchemeColour[code - 6], kSchemeColour[code - 6]};
  if (code > 10) return {kTeal, kTeal};
  return {kTeal, kTeal & kDarken};
}

int mulDivRounded(int a, int b, int c) {
  if (c == 0) return 0;
  long long product = static_cast<long long>(a) * b;
  long long half = std::llabs(static_cast<long long>(c)) / 2;
  bool negative = (product < 0) != (c < 0);
  long long magnitude = (std::llabs(product) + half) / std::llabs(static_cast<long long>(c));
  return static_cast<int>(negative ? -magnitude : magnitude);
}

int bandTop(int height, int band) { return mulDivRounded(height, band, kGradientBands); }

uint32_t bandColour(SchemeColours colours, int band) {
  uint32_t out = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    int from = (colours.top >> shift) & 0xFF, to = (colours.bottom >> shift) & 0xFF;
    int channel = from + mulDivRounded(band, to - from, kGradientBands - 1);
    out |= static_cast<uint32_t>(channel) << shift;
  }
  return out;
}

Placement placePicture(int code, int W, int H, int w, int h) {
  switch (code & 7) {
    case 1: return {kMargin, kMargin};
    case 2: return {W - w - kMargin, kMargin};
    case 3: return {(W - w) / 2, (H - h) / 2};
    case 4: return {W - w - kMargin, H - h - kMargin};
    case 5: return {kMargin, H - h - kMargin};
    default: return {(W - w) / 2, kMargin};
  }
}

SourceSize stretchSource(int W, int H, int width, int height) {
  if (W <= 0 || H <= 0 || width <= 0 || height <= 0) return {0, 0};
  double client = static_cast<double>(W) / H, picture = static_cast<double>(width) / height;
  if (client > picture) return {width, static_cast<int>(std::lround(width / client))};
  return {static_cast<int>(std::lround(height * client)), height};
}

}  // namespace tw
