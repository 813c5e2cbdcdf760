// Fuzzes the MSZIP encoder: the input's first byte picks the block size
// (so short inputs still make several blocks), the rest is a folder's data,
// compressed block by block, with a new folder wherever the data hold the
// bytes "RESET". Each payload must stay within the format's limit and
// expand to its block through our decoder and through zlib's raw inflate
// with the previous block as dictionary.
#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "cabinet/core/codec.h"

namespace {

void* heapAlloc(void*, size_t bytes) { return std::malloc(bytes); }
void heapRelease(void*, void* block) { std::free(block); }

bool zlibExpands(const uint8_t* payload, size_t size, const uint8_t* dict, size_t dictSize,
                 const uint8_t* expected, size_t expectedSize) {
  static uint8_t out[tw::cab::kBlockMax + 1];
  z_stream z{};
  if (inflateInit2(&z, -15) != Z_OK) return false;
  if (dictSize > 0) inflateSetDictionary(&z, dict, static_cast<uInt>(dictSize));
  z.next_in = const_cast<uint8_t*>(payload + 2);
  z.avail_in = static_cast<uInt>(size - 2);
  z.next_out = out;
  z.avail_out = sizeof out;
  const int rc = inflate(&z, Z_FINISH);
  const bool ok = rc == Z_STREAM_END && z.total_out == expectedSize &&
                  std::memcmp(out, expected, expectedSize) == 0;
  inflateEnd(&z);
  return ok;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  // Full blocks of a folder are 32 KB; smaller ones exercise the history
  // bookkeeping of a folder's short last block followed by a reset.
  const size_t blockSize = data[0] == 0 ? tw::cab::kBlockMax : data[0] * 64u;
  ++data;
  --size;
  const tw::cab::CodecMemory memory{heapAlloc, heapRelease, nullptr};
  tw::cab::BlockEncoder* encoder = tw::cab::createMsZipEncoder(memory);
  tw::cab::BlockDecoder* decoder = tw::cab::createMsZipDecoder(memory);
  if (encoder == nullptr || decoder == nullptr) std::abort();
  static uint8_t payload[tw::cab::kCompressedBlockMax];
  static uint8_t out[tw::cab::kBlockMax];
  size_t folderStart = 0;
  for (size_t at = 0; at < size;) {
    size_t n = size - at < blockSize ? size - at : blockSize;
    // A new folder at each "RESET" that starts a block.
    if (at > folderStart && n >= 5 && std::memcmp(data + at, "RESET", 5) == 0) {
      encoder->reset();
      decoder->reset();
      folderStart = at;
    }
    const size_t written = encoder->encode(data + at, n, payload, at + n == size);
    if (written < 3 || written > tw::cab::kCompressedBlockMax || written > n + 7) std::abort();
    if (!decoder->decode(payload, written, out, n) || std::memcmp(out, data + at, n) != 0)
      std::abort();
    // zlib's dictionary: the folder's last 32 KB before this block.
    const size_t dictSize =
        at - folderStart < tw::cab::kBlockMax ? at - folderStart : tw::cab::kBlockMax;
    if (!zlibExpands(payload, written, data + at - dictSize, dictSize, data + at, n)) std::abort();
    at += n;
  }
  encoder->destroy();
  decoder->destroy();
  return 0;
}
