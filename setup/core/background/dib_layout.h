// Where the size and the pixel rows of a bitmap resource (a DIB without its
// file header) are, and the fade patterns of bitmap 104.
#pragma once
#include <cstddef>
#include <cstdint>

namespace tw {

struct DibLayout {
  int width = 0;
  int height = 0;  // rows, also for a top-down bitmap
  int bitCount = 0;
  size_t bitsOffset = 0;
  size_t bitsSize = 0;  // uncompressed rows only; 0 for compressed bitmaps
};

// False when the header is cut short or malformed.
bool readDibLayout(const uint8_t* data, size_t size, DibLayout& out);

constexpr int kFadeSteps = 4;
constexpr size_t kFadePatternBytes = 32;  // 8 rows of 4 bytes, one bit a pixel

// The pattern of fade step `step` (0 first): the patterns are taken from the
// end of the bitmap's rows towards their start. False when the rows are too
// short to hold it.
bool fadePattern(const uint8_t* data, size_t size, int step, const uint8_t*& pattern);

}  // namespace tw
