#include "cabinet/core/container/format.h"

namespace tw::cab {

uint32_t checksum(const uint8_t* bytes, size_t size, uint32_t seed) {
  uint32_t sum = seed;
  size_t words = size / 4;
  while (words--) {
    sum ^= get32(bytes);
    bytes += 4;
  }
  uint32_t tail = 0;
  switch (size & 3) {
    case 3:
      tail |= static_cast<uint32_t>(*bytes++) << 16;
      [[fallthrough]];
    case 2:
      tail |= static_cast<uint32_t>(*bytes++) << 8;
      [[fallthrough]];
    case 1:
      tail |= *bytes;
      break;
    default:
      break;
  }
  return sum ^ tail;
}

uint32_t dataChecksum(const uint8_t* header, const uint8_t* payload, size_t payloadSize) {
  return checksum(header + kDataCbData, 4, checksum(payload, payloadSize, 0));
}

size_t boundedNameLength(const uint8_t* text, size_t limit) {
  for (size_t i = 0; i < limit; ++i)
    if (text[i] == 0) return i;
  return 0;
}

}  // namespace tw::cab
