// Huffman code lengths by the two-queue method over symbols sorted by
// frequency; a code deeper than the format allows is rebuilt from halved
// frequencies, which costs little because it is rare in 32 KB blocks.
#include "cabinet/core/mszip/huffman_lengths.h"

namespace tw::cab::mszip {
namespace {

constexpr unsigned kMaxSymbols = 288;

// Depth of every leaf of the Huffman tree over weights sorted ascending;
// returns the deepest. Kept out of line, and its arrays small, so that no
// frame needs a stack probe in the DLL.
__attribute__((noinline)) unsigned huffmanDepths(const uint32_t* weights, unsigned leaves,
                                                 uint8_t* depths) {
  // Nodes 0..leaves-1 are the leaves, the internal ones follow in the order
  // they are made, which is ascending weight.
  uint32_t internal[kMaxSymbols];
  uint16_t parent[2 * kMaxSymbols];
  unsigned nextLeaf = 0;
  unsigned nextNode = leaves;
  unsigned node = leaves;
  for (unsigned k = 0; k + 1 < leaves; ++k) {
    uint32_t sum = 0;
    for (int child = 0; child < 2; ++child) {
      unsigned n;
      if (nextLeaf < leaves &&
          (nextNode == node || weights[nextLeaf] <= internal[nextNode - leaves])) {
        n = nextLeaf++;
        sum += weights[n];
      } else {
        n = nextNode++;
        sum += internal[n - leaves];
      }
      parent[n] = static_cast<uint16_t>(node);
    }
    internal[node - leaves] = sum;
    ++node;
  }
  // A parent always has a higher index than its children.
  const unsigned root = node - 1;
  uint8_t depth[kMaxSymbols];  // of the internal nodes
  depth[root - leaves] = 0;
  unsigned deepest = 0;
  for (unsigned i = root; i-- > 0;) {
    const unsigned d = depth[parent[i] - leaves] + 1u;
    if (i >= leaves) {
      depth[i - leaves] = static_cast<uint8_t>(d);
    } else {
      depths[i] = static_cast<uint8_t>(d);
      if (d > deepest) deepest = d;
    }
  }
  return deepest;
}

}  // namespace

void buildCodeLengths(const uint32_t* freq, unsigned count, unsigned limit, uint8_t* lengths) {
  // Used symbols sorted by frequency: two counting passes over the low and
  // the high byte, which keep the symbols' order among equal frequencies.
  uint16_t scratch[kMaxSymbols];
  uint16_t order[kMaxSymbols];
  unsigned used = 0;
  for (unsigned s = 0; s < count; ++s) {
    lengths[s] = 0;
    if (freq[s] != 0) scratch[used++] = static_cast<uint16_t>(s);
  }
  for (unsigned shift = 0; shift < 16; shift += 8) {
    const uint16_t* from = shift == 0 ? scratch : order;
    uint16_t* to = shift == 0 ? order : scratch;
    uint16_t start[257] = {};
    for (unsigned i = 0; i < used; ++i) ++start[((freq[from[i]] >> shift) & 0xFF) + 1];
    for (unsigned b = 1; b < 257; ++b) start[b] += start[b - 1];
    for (unsigned i = 0; i < used; ++i) to[start[(freq[from[i]] >> shift) & 0xFF]++] = from[i];
  }
  const uint16_t* sorted = scratch;
  uint32_t weights[kMaxSymbols];
  for (unsigned i = 0; i < used; ++i) weights[i] = freq[sorted[i]];
  if (used < 2) {
    if (used == 1) lengths[sorted[0]] = 1;
    return;
  }
  uint8_t depths[kMaxSymbols];
  while (huffmanDepths(weights, used, depths) > limit) {
    // Halving keeps the order, so the weights stay sorted.
    for (unsigned i = 0; i < used; ++i) weights[i] = (weights[i] >> 1) | 1;
  }
  for (unsigned i = 0; i < used; ++i) lengths[sorted[i]] = depths[i];
}

void buildCodes(const uint8_t* lengths, unsigned count, uint16_t* codes) {
  unsigned perLength[16] = {};
  for (unsigned s = 0; s < count; ++s) ++perLength[lengths[s]];
  perLength[0] = 0;
  unsigned next[16];
  unsigned code = 0;
  for (unsigned bits = 1; bits < 16; ++bits) {
    code = (code + perLength[bits - 1]) << 1;
    next[bits] = code;
  }
  for (unsigned s = 0; s < count; ++s) {
    const unsigned bits = lengths[s];
    if (bits == 0) {
      codes[s] = 0;
      continue;
    }
    unsigned c = next[bits]++;
    unsigned reversed = 0;
    for (unsigned i = 0; i < bits; ++i, c >>= 1) reversed = (reversed << 1) | (c & 1);
    codes[s] = static_cast<uint16_t>(reversed);
  }
}

}  // namespace tw::cab::mszip
