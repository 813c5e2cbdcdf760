// The deflate format's fixed numbers as an MSZIP payload uses them, shared by
// the encoder and the decoder so that both read the same tables.
#pragma once
#include <cstddef>
#include <cstdint>

namespace tw::cab::mszip {

// Every payload starts with these two bytes; the deflate stream follows.
constexpr uint8_t kSignature0 = 'C';
constexpr uint8_t kSignature1 = 'K';
constexpr size_t kSignatureSize = 2;

// The decoder keeps the last kHistory bytes of the folder's output: the
// furthest a distance may reach back.
constexpr size_t kHistory = 32768;

constexpr unsigned kMinMatch = 3;
constexpr unsigned kMaxMatch = 258;
constexpr unsigned kMaxDistance = 32768;

// Block types in the 2 bits after BFINAL.
constexpr unsigned kBlockStored = 0;
constexpr unsigned kBlockFixed = 1;
constexpr unsigned kBlockDynamic = 2;

constexpr unsigned kEndOfBlock = 256;
constexpr unsigned kLitLenCodes = 286;   // symbols a dynamic block may define
constexpr unsigned kFixedLitLenCodes = 288;
constexpr unsigned kDistCodes = 30;
constexpr unsigned kFixedDistCodes = 32;
constexpr unsigned kCodeLenCodes = 19;
constexpr unsigned kMaxCodeBits = 15;
constexpr unsigned kMaxCodeLenBits = 7;

// The order in which a dynamic header lists the code-length code's lengths.
constexpr uint8_t kCodeLenOrder[kCodeLenCodes] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                  11, 4,  12, 3, 13, 2, 14, 1, 15};

// Length symbols 257..285: base length and extra bits.
constexpr uint16_t kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,
                                      15, 17, 19, 23, 27, 31, 35, 43, 51,  59,
                                      67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                      2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};

// Distance symbols 0..29: base distance and extra bits.
constexpr uint16_t kDistBase[30] = {1,    2,    3,    4,    5,    7,     9,     13,    17,  25,
                                    33,   49,   65,   97,   129,  193,   257,   385,   513, 769,
                                    1025, 1537, 2049, 3073, 4097, 6145,  8193,  12289, 16385,
                                    24577};
constexpr uint8_t kDistExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                    6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

// The fixed code's lengths (block type 1).
constexpr unsigned fixedLitLenBits(unsigned symbol) {
  return symbol < 144 ? 8 : symbol < 256 ? 9 : symbol < 280 ? 7 : 8;
}
constexpr unsigned kFixedDistBits = 5;

}  // namespace tw::cab::mszip
