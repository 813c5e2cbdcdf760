#include "cabinet/core/lzx/lzx_huffman.h"

#include <cstring>

namespace tw::cab::lzx {
namespace {

// Minimum-redundancy lengths in place (Moffat and Katajainen): a holds the
// frequencies in ascending order and receives the lengths, longest first.
void minimumRedundancy(uint32_t* a, unsigned n) {
  if (n == 0) return;
  if (n == 1) {
    a[0] = 1;
    return;
  }
  a[0] += a[1];
  unsigned root = 0, leaf = 2;
  for (unsigned next = 1; next < n - 1; ++next) {
    if (leaf >= n || a[root] < a[leaf]) {
      a[next] = a[root];
      a[root++] = next;
    } else {
      a[next] = a[leaf++];
    }
    if (leaf >= n || (root < next && a[root] < a[leaf])) {
      a[next] += a[root];
      a[root++] = next;
    } else {
      a[next] += a[leaf++];
    }
  }
  a[n - 2] = 0;
  for (int next = static_cast<int>(n) - 3; next >= 0; --next) a[next] = a[a[next]] + 1;
  int avail = 1, used = 0;
  uint32_t depth = 0;
  int r = static_cast<int>(n) - 2, next = static_cast<int>(n) - 1;
  while (avail > 0) {
    while (r >= 0 && a[r] == depth) {
      ++used;
      --r;
    }
    while (avail > used) {
      a[next--] = depth;
      --avail;
    }
    avail = 2 * used;
    ++depth;
    used = 0;
  }
}

}  // namespace

void buildLengths(const uint32_t* freq, unsigned count, unsigned maxLength, uint8_t* lengths) {
  uint32_t f[kMaxMainSymbols];
  uint16_t sym[kMaxMainSymbols];
  uint32_t work[kMaxMainSymbols];
  memset(lengths, 0, count);
  unsigned n = 0;
  for (unsigned i = 0; i < count; ++i) f[i] = freq[i];
  for (unsigned i = 0; i < count; ++i)
    if (f[i] != 0) ++n;
  if (n == 0) return;
  if (n == 1) {
    // A lone symbol still needs a complete code: pair it with a neighbour.
    unsigned only = 0;
    while (f[only] == 0) ++only;
    lengths[only] = 1;
    lengths[only == 0 ? 1 : 0] = 1;
    return;
  }
  for (;;) {
    n = 0;
    for (unsigned i = 0; i < count; ++i)
      if (f[i] != 0) sym[n++] = static_cast<uint16_t>(i);
    // Shell sort by frequency, ties by symbol for a stable result.
    static const unsigned gaps[] = {301, 132, 57, 23, 10, 4, 1};
    for (unsigned g : gaps) {
      for (unsigned i = g; i < n; ++i) {
        uint16_t s = sym[i];
        unsigned j = i;
        while (j >= g && (f[sym[j - g]] > f[s] || (f[sym[j - g]] == f[s] && sym[j - g] > s))) {
          sym[j] = sym[j - g];
          j -= g;
        }
        sym[j] = s;
      }
    }
    for (unsigned i = 0; i < n; ++i) work[i] = f[sym[i]];
    minimumRedundancy(work, n);
    if (work[0] <= maxLength) {
      for (unsigned i = 0; i < n; ++i) lengths[sym[i]] = static_cast<uint8_t>(work[i]);
      return;
    }
    // Too deep: flatten the distribution and try again.
    for (unsigned i = 0; i < count; ++i)
      if (f[i] != 0) f[i] = (f[i] >> 1) | 1;
  }
}

void buildCodes(const uint8_t* lengths, unsigned count, uint16_t* codes) {
  unsigned perLength[kMaxCodeLength + 1] = {};
  for (unsigned i = 0; i < count; ++i) ++perLength[lengths[i]];
  perLength[0] = 0;
  uint32_t next[kMaxCodeLength + 2];
  uint32_t code = 0;
  for (unsigned len = 1; len <= kMaxCodeLength; ++len) {
    code = (code + perLength[len - 1]) << 1;
    next[len] = code;
  }
  for (unsigned i = 0; i < count; ++i)
    codes[i] = lengths[i] ? static_cast<uint16_t>(next[lengths[i]]++) : 0;
}

bool DecodeTable::build(const uint8_t* lengths, unsigned count) {
  unsigned perLength[kMaxCodeLength + 1] = {};
  for (unsigned i = 0; i < count; ++i) {
    if (lengths[i] > kMaxCodeLength) return false;
    ++perLength[lengths[i]];
  }
  perLength[0] = 0;
  // Kraft sum in units of 2^-16: over 2^16 is an over-subscribed code.
  uint32_t space = 0;
  for (unsigned len = 1; len <= kMaxCodeLength; ++len) space += perLength[len] << (16 - len);
  if (space > 65536) return false;

  uint32_t code = 0, index = 0;
  for (unsigned len = 1; len <= kMaxCodeLength; ++len) {
    code = (code + (len > 1 ? perLength[len - 1] : 0)) << (len > 1 ? 1 : 0);
    first_[len] = code;
    offset_[len] = index;
    index += perLength[len];
    limit_[len] = (code + perLength[len]) << (16 - len);
  }
  used_ = index;
  uint32_t fill[kMaxCodeLength + 1];
  for (unsigned len = 1; len <= kMaxCodeLength; ++len) fill[len] = offset_[len];
  for (unsigned i = 0; i < count; ++i)
    if (lengths[i]) sorted_[fill[lengths[i]]++] = static_cast<uint16_t>(i);

  memset(direct_, 0, sizeof direct_);
  for (unsigned len = 1; len <= kTableBits; ++len) {
    for (uint32_t k = 0; k < perLength[len]; ++k) {
      uint16_t s = sorted_[offset_[len] + k];
      uint32_t c = first_[len] + k;
      uint32_t startSlot = c << (kTableBits - len);
      uint32_t slots = 1u << (kTableBits - len);
      uint16_t entry = static_cast<uint16_t>((s << 5) | len);
      for (uint32_t j = 0; j < slots; ++j) direct_[startSlot + j] = entry;
    }
  }
  // Codes longer than the table leave their prefix slots empty; decode()
  // then walks the longer lengths by their limits.
  return true;
}

}  // namespace tw::cab::lzx
