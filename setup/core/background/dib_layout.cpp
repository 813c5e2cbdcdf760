// Bitmap resource headers and the fade patterns.
#include "setup/core/background/dib_layout.h"

namespace tw {
namespace {
constexpr uint32_t kCoreHeader = 12, kInfoHeader = 40;
constexpr uint32_t kRgb = 0, kBitFields = 3;

uint32_t le(const uint8_t* p, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | p[i];
  return v;
}
}  // namespace

bool readDibLayout(const uint8_t* data, size_t size, DibLayout& out) {
  if (size < 4) return false;
  uint32_t header = le(data, 4);
  if (header < kCoreHeader || header > size) return false;
  uint64_t colours;
  uint32_t compression = kRgb;
  if (header == kCoreHeader) {
    out.width = static_cast<int>(le(data + 4, 2));
    out.height = static_cast<int>(le(data + 6, 2));
    out.bitCount = static_cast<int>(le(data + 10, 2));
    colours = out.bitCount <= 8 ? 3ull << out.bitCount : 0;
  } else {
    if (header < kInfoHeader) return false;
    int32_t width = static_cast<int32_t>(le(data + 4, 4));
    int32_t height = static_cast<int32_t>(le(data + 8, 4));
    if (width < 0 || height == INT32_MIN) return false;
    out.width = width;
    out.height = height < 0 ? -height : height;
    out.bitCount = static_cast<int>(le(data + 14, 2));
    compression = le(data + 16, 4);
    uint32_t used = le(data + 32, 4);
    colours = 4ull * (used != 0 ? used : out.bitCount <= 8 ? 1u << out.bitCount : 0);
    if (compression == kBitFields && header == kInfoHeader) colours += 12;
  }
  if (out.bitCount < 1 || out.bitCount > 32) return false;
  if (header + colours > size) return false;
  out.bitsOffset = header + static_cast<size_t>(colours);
  out.bitsSize = 0;
  if (compression == kRgb || compression == kBitFields) {
    uint64_t stride = (static_cast<uint64_t>(out.width) * out.bitCount + 31) / 32 * 4;
    uint64_t rows = stride * static_cast<uint64_t>(out.height);
    // Rows past the end of the resource are not there to be read.
    uint64_t present = size - out.bitsOffset;
    out.bitsSize = static_cast<size_t>(rows < present ? rows : present);
  }
  return true;
}

bool fadePattern(const uint8_t* data, size_t size, int step, const uint8_t*& pattern) {
  DibLayout dib;
  if (step < 0 || step >= kFadeSteps || !readDibLayout(data, size, dib)) return false;
  size_t back = kFadePatternBytes * static_cast<size_t>(step + 1);
  if (dib.bitsSize < back) return false;
  pattern = data + dib.bitsOffset + dib.bitsSize - back;
  return true;
}

}  // namespace tw
