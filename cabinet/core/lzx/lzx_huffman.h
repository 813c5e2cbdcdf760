// Canonical Huffman codes of the LZX trees: code lengths from symbol counts
// (the encoder) and lookup tables from code lengths (the decoder).
#pragma once
#include <cstddef>
#include <cstdint>

#include "cabinet/core/lzx/lzx_format.h"

namespace tw::cab::lzx {

// Code lengths of at most maxLength bits for count symbols. Every symbol
// with a nonzero frequency gets a length; when fewer than two have one, a
// second symbol is given a length too, so that the code is always complete
// (decoders refuse incomplete codes). All frequencies zero: all lengths zero.
void buildLengths(const uint32_t* freq, unsigned count, unsigned maxLength, uint8_t* lengths);

// Codes (right-aligned, sent most significant bit first) for the lengths.
void buildCodes(const uint8_t* lengths, unsigned count, uint16_t* codes);

// The decoder's table: the first kTableBits of the stream index a direct
// table; longer codes are found by the canonical limits per length.
class DecodeTable {
 public:
  static constexpr unsigned kTableBits = 10;

  // False when the lengths over-subscribe the code space. An empty code (all
  // zero) is accepted and fails at its first use; incomplete codes are
  // accepted and fail when an unassigned pattern appears.
  bool build(const uint8_t* lengths, unsigned count);

  // The symbol for the 16 bits at the head of the stream (most significant
  // first) and its length, or false for an unassigned pattern.
  bool decode(uint32_t bits16, unsigned* symbol, unsigned* length) const {
    uint16_t e = direct_[bits16 >> (16 - kTableBits)];
    if (e != 0) {
      *symbol = e >> 5;
      *length = e & 31;
      return true;
    }
    for (unsigned len = kTableBits + 1; len <= kMaxCodeLength; ++len) {
      if (bits16 < limit_[len]) {
        uint32_t index = offset_[len] + ((bits16 >> (16 - len)) - first_[len]);
        if (index >= used_) return false;
        *symbol = sorted_[index];
        *length = len;
        return true;
      }
    }
    return false;
  }

 private:
  uint16_t direct_[1u << kTableBits];
  uint32_t limit_[kMaxCodeLength + 1];   // first pattern past length len, left-aligned
  uint32_t first_[kMaxCodeLength + 1];   // first code of length len
  uint32_t offset_[kMaxCodeLength + 1];  // index of that code's symbol in sorted_
  uint16_t sorted_[kMaxMainSymbols];
  uint32_t used_ = 0;
};

}  // namespace tw::cab::lzx
