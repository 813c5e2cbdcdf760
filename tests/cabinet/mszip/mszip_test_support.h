// Shared pieces of the MSZIP tests: heap memory for the codecs, sample data,
// the folder-wise block loop, and zlib as the independent reference.
#pragma once
#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "cabinet/core/codec.h"

namespace tw::cab::test {

using Bytes = std::vector<uint8_t>;

// CodecMemory over malloc that counts the blocks still out, and can be told
// to refuse from the n-th request on.
struct HeapMemory {
  int live = 0;
  int requests = 0;
  int failFrom = -1;
  CodecMemory memory{&HeapMemory::alloc, &HeapMemory::release, this};

  static void* alloc(void* context, size_t bytes) {
    auto* self = static_cast<HeapMemory*>(context);
    if (self->failFrom >= 0 && self->requests++ >= self->failFrom) return nullptr;
    void* p = std::malloc(bytes);
    if (p != nullptr) ++self->live;
    return p;
  }
  static void release(void* context, void* block) {
    --static_cast<HeapMemory*>(context)->live;
    std::free(block);
  }
};

struct DestroyCodec {
  template <class Codec>
  void operator()(Codec* codec) const {
    if (codec != nullptr) codec->destroy();
  }
};
using EncoderPtr = std::unique_ptr<BlockEncoder, DestroyCodec>;
using DecoderPtr = std::unique_ptr<BlockDecoder, DestroyCodec>;

// Deterministic bytes of three kinds: noise, text-like words with repeats,
// and program-like records (small integers, repeated opcodes, strings).
inline Bytes noise(size_t size, uint32_t seed) {
  Bytes out(size);
  uint64_t x = 0x9E3779B97F4A7C15ull ^ seed;
  for (auto& b : out) {
    x ^= x << 13;
    x ^= x >> 7;
    x ^= x << 17;
    b = static_cast<uint8_t>(x >> 24);
  }
  return out;
}

inline Bytes text(size_t size, uint32_t seed) {
  static const char* const words[] = {
      "folder", "cabinet", "block", "the", "of", "and", "installation", "setup", "file",
      "registry", "value", "component", "shortcut", "uninstall", "wizard", "page", "a",
      "to", "is", "in", "program", "window", "Datei", "Ordner", "Fehler", "\r\n", ", ", ". "};
  Bytes out;
  out.reserve(size);
  uint32_t x = seed * 2654435761u + 1;
  while (out.size() < size) {
    x = x * 1103515245u + 12345u;
    const char* w = words[(x >> 16) % (sizeof words / sizeof words[0])];
    for (; *w != 0 && out.size() < size; ++w) out.push_back(static_cast<uint8_t>(*w));
    if (out.size() < size && (x >> 8) % 3 != 0) out.push_back(' ');
  }
  return out;
}

inline Bytes programLike(size_t size, uint32_t seed) {
  Bytes out;
  out.reserve(size);
  uint32_t x = seed * 747796405u + 2891336453u;
  auto next = [&] { return x = x * 1664525u + 1013904223u; };
  const Bytes strings = text(4096, seed + 7);
  while (out.size() < size) {
    const uint32_t r = next();
    switch ((r >> 28) & 3) {
      case 0: {  // a call with a small relative target
        out.push_back(0xE8);
        const uint32_t target = (next() >> 20) & 0xFFF;
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(target >> (8 * i)));
        break;
      }
      case 1: {  // a repeated prologue
        static const uint8_t prologue[] = {0x55, 0x8B, 0xEC, 0x83, 0xEC, 0x10, 0x53, 0x56, 0x57};
        out.insert(out.end(), prologue, prologue + sizeof prologue);
        break;
      }
      case 2: {  // a string from the table
        const size_t at = (r >> 8) % (strings.size() - 40);
        out.insert(out.end(), strings.begin() + at, strings.begin() + at + 8 + (r & 31));
        break;
      }
      default:
        out.push_back(static_cast<uint8_t>(r >> 8));
        out.push_back(static_cast<uint8_t>(r >> 16));
    }
  }
  out.resize(size);
  return out;
}

inline Bytes concat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

// One payload per block of a folder.
struct Block {
  Bytes payload;
  size_t size = 0;  // uncompressed
};

// Compresses data as one folder of 32 KB blocks with encoder.
inline std::vector<Block> encodeFolder(BlockEncoder* encoder, const Bytes& data) {
  std::vector<Block> blocks;
  for (size_t at = 0; at < data.size(); at += kBlockMax) {
    const size_t n = data.size() - at < kBlockMax ? data.size() - at : kBlockMax;
    Block b;
    b.payload.resize(kCompressedBlockMax);
    const size_t written =
        encoder->encode(data.data() + at, n, b.payload.data(), at + n == data.size());
    b.payload.resize(written);
    b.size = n;
    blocks.push_back(std::move(b));
  }
  return blocks;
}

// zlib's raw inflate of one payload after "CK", with dictionary (may be
// empty). Returns false unless the stream ends and gives exactly size bytes.
inline bool zlibInflate(const Bytes& payload, const uint8_t* dict, size_t dictSize, size_t size,
                        Bytes* out) {
  if (payload.size() < 2 || payload[0] != 'C' || payload[1] != 'K') return false;
  z_stream z{};
  if (inflateInit2(&z, -15) != Z_OK) return false;
  if (dictSize > 0 && inflateSetDictionary(&z, dict, static_cast<uInt>(dictSize)) != Z_OK) {
    inflateEnd(&z);
    return false;
  }
  out->assign(size + 1, 0);
  z.next_in = const_cast<Bytes::value_type*>(payload.data() + 2);
  z.avail_in = static_cast<uInt>(payload.size() - 2);
  z.next_out = out->data();
  z.avail_out = static_cast<uInt>(out->size());
  const int rc = inflate(&z, Z_FINISH);
  const size_t produced = z.total_out;
  inflateEnd(&z);
  out->resize(produced);
  return rc == Z_STREAM_END && produced == size;
}

// zlib's raw deflate of data as one MSZIP payload, with dictionary.
inline Bytes zlibDeflate(const uint8_t* data, size_t size, const uint8_t* dict, size_t dictSize,
                         int level, int strategy = Z_DEFAULT_STRATEGY) {
  z_stream z{};
  if (deflateInit2(&z, level, Z_DEFLATED, -15, 8, strategy) != Z_OK) return {};
  if (dictSize > 0) deflateSetDictionary(&z, dict, static_cast<uInt>(dictSize));
  Bytes out(2 + deflateBound(&z, static_cast<uLong>(size)) + 16);
  out[0] = 'C';
  out[1] = 'K';
  z.next_in = const_cast<uint8_t*>(data);
  z.avail_in = static_cast<uInt>(size);
  z.next_out = out.data() + 2;
  z.avail_out = static_cast<uInt>(out.size() - 2);
  const int rc = deflate(&z, Z_FINISH);
  out.resize(2 + z.total_out);
  deflateEnd(&z);
  return rc == Z_STREAM_END ? out : Bytes{};
}

// The dictionary of block i of a folder in data: the block before it.
inline const uint8_t* previousBlock(const Bytes& data, size_t i, size_t* dictSize) {
  *dictSize = i == 0 ? 0 : kBlockMax;
  return i == 0 ? nullptr : data.data() + (i - 1) * kBlockMax;
}

// zlib payloads for data as one folder.
inline std::vector<Block> zlibFolder(const Bytes& data, int level,
                                     int strategy = Z_DEFAULT_STRATEGY) {
  std::vector<Block> blocks;
  for (size_t i = 0; i * kBlockMax < data.size(); ++i) {
    const size_t at = i * kBlockMax;
    const size_t n = data.size() - at < kBlockMax ? data.size() - at : kBlockMax;
    size_t dictSize;
    const uint8_t* dict = previousBlock(data, i, &dictSize);
    blocks.push_back({zlibDeflate(data.data() + at, n, dict, dictSize, level, strategy), n});
  }
  return blocks;
}

// Expands a folder's payloads with decoder; false at the first refused block.
inline bool decodeFolder(BlockDecoder* decoder, const std::vector<Block>& blocks, Bytes* out) {
  out->clear();
  for (const auto& b : blocks) {
    const size_t at = out->size();
    out->resize(at + b.size);
    if (!decoder->decode(b.payload.data(), b.payload.size(), out->data() + at, b.size))
      return false;
  }
  return true;
}

}  // namespace tw::cab::test
