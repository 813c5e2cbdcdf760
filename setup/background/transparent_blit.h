// Drawing a picture with its top-left pixel's colour left out, at once or
// faded in over the background in four dithered steps.
#pragma once
#include <windows.h>

#include <cstdint>

namespace tw {

// The four 32-byte brush patterns of a fade, first step first; a missing
// pattern (nullptr) skips its step.
struct FadePatterns {
  const uint8_t* step[4] = {nullptr, nullptr, nullptr, nullptr};
};

// Draws `picture` at (x, y) into `dc` when that area is visible there. The
// screen under the picture is composed off-screen with the usual three-step
// mask, then copied to `dc`, or, with `fade`, mixed into the background step
// by step, 80 ms apart.
void drawTransparent(HDC dc, HBITMAP picture, int x, int y, const FadePatterns* fade);

}  // namespace tw
