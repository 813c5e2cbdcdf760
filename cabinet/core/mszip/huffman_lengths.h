// Length-limited Huffman code lengths and canonical codes for the MSZIP
// encoder's dynamic blocks.
#pragma once
#include <cstdint>

namespace tw::cab::mszip {

// Sets lengths[0..count) to a complete prefix code for freq with no length
// above limit: the Huffman code, or where that is too deep, the Huffman code
// of ever flatter frequencies. Symbols of frequency 0 get length 0. Needs at
// least two used symbols, at most 2^limit of them, count <= 288 and
// frequencies below 65536 (a block has at most 32768 symbols).
void buildCodeLengths(const uint32_t* freq, unsigned count, unsigned limit, uint8_t* lengths);

// Canonical codes for lengths, bit-reversed as deflate sends them.
void buildCodes(const uint8_t* lengths, unsigned count, uint16_t* codes);

}  // namespace tw::cab::mszip
