// The LZX bit stream as cabinet folders carry it: constants, the offset
// slots, and the E8 call translation both sides apply to every frame.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace tw::cab::lzx {

constexpr unsigned kMinMatch = 2;
constexpr unsigned kMaxMatch = 257;
constexpr unsigned kNumChars = 256;
constexpr unsigned kNumPrimaryLengths = 7;
constexpr unsigned kLengthSymbols = 249;
constexpr unsigned kPreTreeSymbols = 20;
constexpr unsigned kAlignedSymbols = 8;
constexpr unsigned kMaxSlots = 50;
constexpr unsigned kMaxMainSymbols = kNumChars + kMaxSlots * 8;
constexpr unsigned kMaxCodeLength = 16;
constexpr unsigned kFrameSize = 32768;

constexpr unsigned kBlockVerbatim = 1;
constexpr unsigned kBlockAligned = 2;
constexpr unsigned kBlockUncompressed = 3;

// Frames past this index are passed through without the call translation.
constexpr uint32_t kE8LastFrame = 32768;

// Offset slots of a window of 2^bits bytes (15..21).
constexpr unsigned slotCount(unsigned windowBits) {
  return windowBits == 21 ? 50 : windowBits == 20 ? 42 : windowBits * 2;
}

// Slot s covers formatted offsets [slotBase(s), slotBase(s) + 2^slotExtra(s)).
// Formatted offsets 0..2 name the repeated offsets, n + 2 the distance n.
constexpr uint32_t slotBase(unsigned s) {
  return s < 4 ? s
         : s < 36 ? static_cast<uint32_t>(2 | (s & 1)) << (s / 2 - 1)
                  : 262144u + (s - 36) * 131072u;
}
constexpr unsigned slotExtra(unsigned s) {
  return s < 4 ? 0 : (s / 2 - 1 < 17 ? s / 2 - 1 : 17);
}
inline unsigned slotOf(uint32_t formatted) {
  if (formatted < 4) return formatted;
  if (formatted >= 262144) return 34 + (formatted >> 17);
  unsigned top = 31 - static_cast<unsigned>(__builtin_clz(formatted));
  return top * 2 + ((formatted >> (top - 1)) & 1);
}

// The call translation of one frame. Position is the frame's offset in the
// folder. toAbsolute turns relative call targets into absolute ones (the
// encoder), otherwise back (the decoder). The last ten bytes of a frame and
// frames of ten bytes or fewer are left alone.
inline void e8Translate(uint8_t* data, size_t size, uint32_t position, int32_t translationSize,
                        bool toAbsolute) {
  if (size <= 10 || translationSize == 0) return;
  const int64_t limit = translationSize;
  size_t end = size - 10;
  size_t i = 0;
  while (i < end) {
    // Eight bytes at a time past stretches without an E8 byte.
    while (i + 8 <= end) {
      uint64_t v;
      memcpy(&v, data + i, 8);
      const uint64_t x = v ^ 0xE8E8E8E8E8E8E8E8ull;
      if (((x - 0x0101010101010101ull) & ~x & 0x8080808080808080ull) != 0) break;
      i += 8;
    }
    if (i >= end) break;
    if (data[i] != 0xE8) {
      ++i;
      continue;
    }
    const int64_t cur = static_cast<int64_t>(position) + static_cast<int64_t>(i);
    uint8_t* p = data + i + 1;
    int32_t value = static_cast<int32_t>(static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                                         (static_cast<uint32_t>(p[2]) << 16) |
                                         (static_cast<uint32_t>(p[3]) << 24));
    int64_t v = value;
    int64_t result = v;
    bool change = false;
    if (toAbsolute) {
      if (v >= -cur && v < limit) {
        result = (v + cur < limit) ? v + cur : v - limit;
        change = true;
      }
    } else if (v >= -cur && v < limit) {
      result = v >= 0 ? v - cur : v + limit;
      change = true;
    }
    if (change) {
      uint32_t r = static_cast<uint32_t>(result);
      p[0] = static_cast<uint8_t>(r);
      p[1] = static_cast<uint8_t>(r >> 8);
      p[2] = static_cast<uint8_t>(r >> 16);
      p[3] = static_cast<uint8_t>(r >> 24);
    }
    i += 5;
  }
}

}  // namespace tw::cab::lzx
