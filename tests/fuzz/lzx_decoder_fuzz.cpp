// Fuzzes the LZX decoder: the input is a window size and a list of frames
// (payload size, uncompressed size, payload), decoded until one is refused;
// nothing may reach outside the payloads, the window or the output. With
// the first byte's top bit set the rest is instead plain data that the
// encoder compresses and the decoder must give back unchanged.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "cabinet/core/codec.h"

namespace {

tw::cab::CodecMemory heap() {
  tw::cab::CodecMemory m;
  m.alloc = [](void*, size_t n) { return malloc(n); };
  m.release = [](void*, void* p) { free(p); };
  m.context = nullptr;
  return m;
}

void roundTrip(unsigned bits, const uint8_t* data, size_t size) {
  using namespace tw::cab;
  BlockEncoder* e = createLzxEncoder(heap(), bits);
  BlockDecoder* d = createLzxDecoder(heap(), bits);
  if (e == nullptr || d == nullptr) std::abort();
  static uint8_t payload[kCompressedBlockMax];
  static uint8_t out[kBlockMax];
  for (size_t at = 0; at < size; at += kBlockMax) {
    size_t n = size - at < kBlockMax ? size - at : kBlockMax;
    size_t got = e->encode(data + at, n, payload, at + n == size);
    if (got == 0 || got > kCompressedBlockMax) std::abort();
    if (!d->decode(payload, got, out, n) || memcmp(out, data + at, n) != 0) std::abort();
  }
  e->destroy();
  d->destroy();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tw::cab;
  if (size < 1) return 0;
  const unsigned bits = kLzxWindowBitsMin + data[0] % 7;
  if (data[0] & 0x80) {
    roundTrip(bits, data + 1, size - 1);
    return 0;
  }
  BlockDecoder* d = createLzxDecoder(heap(), bits);
  if (d == nullptr) std::abort();
  static uint8_t out[kBlockMax];
  size_t at = 1;
  while (size - at >= 4) {
    size_t inSize = data[at] | (data[at + 1] << 8);
    size_t outSize = (data[at + 2] | (data[at + 3] << 8)) + 1u;
    at += 4;
    if (inSize > size - at) inSize = size - at;
    if (outSize > kBlockMax) outSize = kBlockMax;
    // The payload in a buffer of its own size, so that any read past it is seen.
    uint8_t* in = static_cast<uint8_t*>(malloc(inSize ? inSize : 1));
    memcpy(in, data + at, inSize);
    bool ok = d->decode(in, inSize, out, outSize);
    free(in);
    at += inSize;
    if (!ok) break;
  }
  d->destroy();
  return 0;
}
