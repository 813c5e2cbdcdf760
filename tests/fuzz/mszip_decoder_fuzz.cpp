// Fuzzes the MSZIP decoder: the input is a folder of records, each
// [payload size: u16][block size - 1: 15 bits, top bit: new folder][payload],
// decoded in turn with one decoder. Nothing may crash or leak, and where
// zlib (raw inflate, the folder's last 32 KB as dictionary) expands a payload
// to exactly the block's size, ours must accept it and give the same bytes;
// where ours accepts, zlib must agree unless it refuses the stream.
#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "cabinet/core/codec.h"

namespace {

void* heapAlloc(void*, size_t bytes) { return std::malloc(bytes); }
void heapRelease(void*, void* block) { std::free(block); }

struct History {
  uint8_t bytes[tw::cab::kBlockMax];
  size_t size = 0;
  void add(const uint8_t* data, size_t n) {
    if (n >= sizeof bytes) {
      std::memcpy(bytes, data + n - sizeof bytes, sizeof bytes);
      size = sizeof bytes;
      return;
    }
    const size_t keep = size + n > sizeof bytes ? sizeof bytes - n : size;
    std::memmove(bytes, bytes + size - keep, keep);
    std::memcpy(bytes + keep, data, n);
    size = keep + n;
  }
};

// zlib's expansion of a payload to exactly size bytes, or false.
bool zlibExpands(const uint8_t* in, size_t inSize, const History& history, uint8_t* out,
                 size_t size) {
  if (inSize < 2 || in[0] != 'C' || in[1] != 'K') return false;
  z_stream z{};
  if (inflateInit2(&z, -15) != Z_OK) return false;
  if (history.size > 0) inflateSetDictionary(&z, history.bytes, static_cast<uInt>(history.size));
  z.next_in = const_cast<uint8_t*>(in + 2);
  z.avail_in = static_cast<uInt>(inSize - 2);
  z.next_out = out;
  z.avail_out = static_cast<uInt>(size + 1);
  const int rc = inflate(&z, Z_FINISH);
  const bool ok = rc == Z_STREAM_END && z.total_out == size;
  inflateEnd(&z);
  return ok;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const tw::cab::CodecMemory memory{heapAlloc, heapRelease, nullptr};
  tw::cab::BlockDecoder* decoder = tw::cab::createMsZipDecoder(memory);
  if (decoder == nullptr) std::abort();
  static History history;
  history.size = 0;
  static uint8_t ours[tw::cab::kBlockMax];
  static uint8_t theirs[tw::cab::kBlockMax + 1];
  size_t at = 0;
  while (size - at >= 4) {
    const size_t payloadSize = data[at] | data[at + 1] << 8;
    const unsigned field = data[at + 2] | data[at + 3] << 8;
    at += 4;
    const size_t n = payloadSize < size - at ? payloadSize : size - at;
    const size_t outSize = (field & 0x7FFF) + 1;
    if (field & 0x8000) {
      decoder->reset();
      history.size = 0;
    }
    // The payload in a buffer of its own size, so reads past it are seen.
    uint8_t* payload = static_cast<uint8_t*>(std::malloc(n ? n : 1));
    std::memcpy(payload, data + at, n);
    at += n;
    const bool accepted = decoder->decode(payload, n, ours, outSize);
    const bool zlibAccepts = zlibExpands(payload, n, history, theirs, outSize);
    std::free(payload);
    if (zlibAccepts && !accepted) std::abort();
    if (accepted && zlibAccepts && std::memcmp(ours, theirs, outSize) != 0) std::abort();
    if (accepted) history.add(ours, outSize);
  }
  decoder->destroy();
  return 0;
}
