// MSZIP expansion: each payload is "CK" and a complete deflate stream whose
// distances may reach into the folder's previous 32 KB of output.
//
// Payloads come from downloaded packages, so every length, distance and code
// is checked before it is used: damaged data make decode() return false and
// never read or write outside the payload, the history or the block.
#include <cstring>
#include <new>

#include "cabinet/core/codec.h"
#include "cabinet/core/mszip/deflate_format.h"

namespace tw::cab {
namespace {

using namespace mszip;

// Codes up to kFastBits long decode with one table look-up; longer ones,
// rare in practice, by walking the canonical code a bit at a time.
constexpr unsigned kFastBits = 10;
constexpr unsigned kFastMask = (1u << kFastBits) - 1;

class HuffmanTable {
 public:
  // Builds the decoding tables from code lengths; false for an
  // over-subscribed set. An incomplete set is accepted: its unused codes
  // fail when met.
  bool build(const uint8_t* lengths, unsigned symbols) {
    uint16_t offsets[kMaxCodeBits + 2];
    std::memset(count_, 0, sizeof count_);
    for (unsigned s = 0; s < symbols; ++s) ++count_[lengths[s]];
    count_[0] = 0;
    int left = 1;
    for (unsigned bits = 1; bits <= kMaxCodeBits; ++bits) {
      left = (left << 1) - count_[bits];
      if (left < 0) return false;
    }
    offsets[1] = 0;
    for (unsigned bits = 1; bits <= kMaxCodeBits; ++bits)
      offsets[bits + 1] = static_cast<uint16_t>(offsets[bits] + count_[bits]);
    for (unsigned s = 0; s < symbols; ++s)
      if (lengths[s] != 0) symbols_[offsets[lengths[s]]++] = static_cast<uint16_t>(s);

    // Canonical codes, first code of each length; deflate sends them most
    // significant bit first, so the table is indexed by the reversed code.
    std::memset(fast_, 0, sizeof fast_);
    unsigned next[kMaxCodeBits + 1];
    unsigned code = 0;
    for (unsigned bits = 1; bits <= kMaxCodeBits; ++bits) {
      code = (code + count_[bits - 1]) << 1;
      next[bits] = code;
    }
    for (unsigned s = 0; s < symbols; ++s) {
      const unsigned bits = lengths[s];
      if (bits == 0 || bits > kFastBits) {
        if (bits != 0) ++next[bits];
        continue;
      }
      unsigned c = next[bits]++;
      unsigned reversed = 0;
      for (unsigned i = 0; i < bits; ++i, c >>= 1) reversed = (reversed << 1) | (c & 1);
      const uint16_t entry = static_cast<uint16_t>((bits << 12) | s);
      for (unsigned i = reversed; i <= kFastMask; i += 1u << bits) fast_[i] = entry;
    }
    return true;
  }

  // Decodes one symbol from at least kMaxCodeBits bits in *buffer; returns
  // the symbol or -1 for a code the table does not hold.
  int decode(uint64_t* buffer, unsigned* bitCount) const {
    const uint16_t entry = fast_[*buffer & kFastMask];
    if (entry != 0) {
      const unsigned bits = entry >> 12;
      *buffer >>= bits;
      *bitCount -= bits;
      return entry & 0x1FF;
    }
    uint64_t b = *buffer;
    int code = 0;   // bits read so far, as a canonical code
    int first = 0;  // first code of the current length
    int index = 0;  // index of that code's symbol in symbols_
    for (unsigned bits = 1; bits <= kMaxCodeBits; ++bits) {
      code |= static_cast<int>(b & 1);
      b >>= 1;
      const int n = count_[bits];
      if (code - first < n) {
        *buffer = b;
        *bitCount -= bits;
        return symbols_[index + code - first];
      }
      index += n;
      first = (first + n) << 1;
      code <<= 1;
    }
    return -1;
  }

 private:
  uint16_t fast_[1u << kFastBits];  // (length << 12) | symbol; 0: longer code
  uint16_t count_[kMaxCodeBits + 1];
  uint16_t symbols_[kFixedLitLenCodes];
};

// Bits of the payload, least significant first. Past the payload's end it
// reads zeros and counts them, so a decode that ran over is found afterwards
// without a bounds test at every symbol.
struct BitReader {
  const uint8_t* start;
  const uint8_t* next;
  const uint8_t* end;
  uint64_t buffer;
  unsigned count;
  size_t padded;  // zero bytes loaded past the end

  // Afterwards at least 56 bits are buffered.
  void refill() {
    if (end - next >= 8) {
      uint64_t word;
      std::memcpy(&word, next, 8);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
      word = __builtin_bswap64(word);
#endif
      buffer |= word << count;
      next += (63 - count) >> 3;
      count |= 56;
      return;
    }
    while (count <= 56) {
      uint64_t byte = 0;
      if (next < end)
        byte = *next++;
      else
        ++padded;
      buffer |= byte << count;
      count += 8;
    }
  }
  unsigned take(unsigned bits) {
    const unsigned value = static_cast<unsigned>(buffer & ((uint64_t{1} << bits) - 1));
    buffer >>= bits;
    count -= bits;
    return value;
  }
  // True when more bits were taken than the payload holds.
  bool overrun() const { return padded * 8 > count; }
  // Bytes of the payload consumed, once the buffer holds whole bytes only.
  size_t bytePosition() const { return static_cast<size_t>(next - start) + padded - count / 8; }
  void seek(size_t position) {
    next = start + position;
    buffer = 0;
    count = 0;
    padded = 0;
  }
};

class MsZipDecoder final : public BlockDecoder {
 public:
  explicit MsZipDecoder(const CodecMemory& memory) : memory_(memory) {}

  bool decode(const uint8_t* in, size_t inSize, uint8_t* out, size_t outSize) override {
    if (in == nullptr || out == nullptr || outSize == 0 || outSize > kBlockMax) return false;
    if (inSize < kSignatureSize || in[0] != kSignature0 || in[1] != kSignature1) return false;
    BitReader reader{in + kSignatureSize, in + kSignatureSize, in + inSize, 0, 0, 0};
    size_t produced = 0;
    bool final = false;
    while (!final) {
      reader.refill();
      final = reader.take(1) != 0;
      const unsigned type = reader.take(2);
      bool ok = false;
      if (type == kBlockStored) {
        ok = copyStored(&reader, outSize, &produced);
      } else if (type == kBlockFixed) {
        ok = useFixedTables() && inflateCodes(&reader, outSize, &produced);
      } else if (type == kBlockDynamic) {
        ok = readDynamicTables(&reader) && inflateCodes(&reader, outSize, &produced);
      }
      if (!ok || reader.overrun()) return false;
    }
    if (produced != outSize) return false;

    // Only a whole, sound block changes the history.
    std::memcpy(out, window_ + kHistory, outSize);
    std::memmove(window_, window_ + outSize, kHistory);
    history_ = history_ + outSize < kHistory ? history_ + outSize : kHistory;
    return true;
  }

  void reset() override { history_ = 0; }

  void destroy() override {
    const CodecMemory memory = memory_;
    this->~MsZipDecoder();
    memory.release(memory.context, this);
  }

 private:
  bool copyStored(BitReader* reader, size_t outSize, size_t* produced) {
    reader->take(reader->count & 7);
    const size_t position = reader->bytePosition();
    const size_t available = static_cast<size_t>(reader->end - reader->start);
    if (position > available || available - position < 4) return false;
    const uint8_t* p = reader->start + position;
    const unsigned length = p[0] | (p[1] << 8);
    const unsigned check = p[2] | (p[3] << 8);
    if ((length ^ 0xFFFF) != check) return false;
    if (available - position - 4 < length || outSize - *produced < length) return false;
    std::memcpy(window_ + kHistory + *produced, p + 4, length);
    *produced += length;
    reader->seek(position + 4 + length);
    return true;
  }

  bool useFixedTables() {
    if (fixedLoaded_) return true;
    uint8_t lengths[kFixedLitLenCodes];
    for (unsigned s = 0; s < kFixedLitLenCodes; ++s)
      lengths[s] = static_cast<uint8_t>(fixedLitLenBits(s));
    if (!litLen_.build(lengths, kFixedLitLenCodes)) return false;
    for (unsigned s = 0; s < kFixedDistCodes; ++s) lengths[s] = kFixedDistBits;
    if (!dist_.build(lengths, kFixedDistCodes)) return false;
    fixedLoaded_ = true;
    return true;
  }

  bool readDynamicTables(BitReader* reader) {
    fixedLoaded_ = false;
    reader->refill();
    const unsigned litLenCount = reader->take(5) + 257;
    const unsigned distCount = reader->take(5) + 1;
    const unsigned codeLenCount = reader->take(4) + 4;
    if (litLenCount > kLitLenCodes || distCount > kDistCodes) return false;

    uint8_t lengths[kLitLenCodes + kDistCodes];
    std::memset(lengths, 0, kCodeLenCodes);
    for (unsigned i = 0; i < codeLenCount; ++i) {
      reader->refill();
      lengths[kCodeLenOrder[i]] = static_cast<uint8_t>(reader->take(3));
    }
    if (!codeLen_.build(lengths, kCodeLenCodes)) return false;

    const unsigned total = litLenCount + distCount;
    unsigned n = 0;
    while (n < total) {
      reader->refill();
      if (reader->overrun()) return false;
      const int symbol = codeLen_.decode(&reader->buffer, &reader->count);
      if (symbol < 0) return false;
      if (symbol < 16) {
        lengths[n++] = static_cast<uint8_t>(symbol);
        continue;
      }
      uint8_t value = 0;
      unsigned repeat;
      if (symbol == 16) {
        if (n == 0) return false;
        value = lengths[n - 1];
        repeat = 3 + reader->take(2);
      } else if (symbol == 17) {
        repeat = 3 + reader->take(3);
      } else {
        repeat = 11 + reader->take(7);
      }
      if (total - n < repeat) return false;
      std::memset(lengths + n, value, repeat);
      n += repeat;
    }
    // Without a code for the end of the block the block could never end.
    if (lengths[kEndOfBlock] == 0) return false;
    return litLen_.build(lengths, litLenCount) && dist_.build(lengths + litLenCount, distCount);
  }

  bool inflateCodes(BitReader* reader, size_t outSize, size_t* produced) {
    uint8_t* const output = window_ + kHistory;
    size_t o = *produced;
    BitReader r = *reader;
    for (;;) {
      r.refill();
      if (r.overrun()) return false;
      // 56 buffered bits cover the longest length and distance with extras.
      const int symbol = litLen_.decode(&r.buffer, &r.count);
      if (symbol < 256) {
        if (symbol < 0 || o == outSize) return false;
        output[o++] = static_cast<uint8_t>(symbol);
        continue;
      }
      if (symbol == kEndOfBlock) break;
      const unsigned lengthSymbol = static_cast<unsigned>(symbol) - 257;
      if (lengthSymbol >= 29) return false;
      const size_t length = kLengthBase[lengthSymbol] + r.take(kLengthExtra[lengthSymbol]);
      const int distSymbol = dist_.decode(&r.buffer, &r.count);
      if (distSymbol < 0 || distSymbol >= static_cast<int>(kDistCodes)) return false;
      const size_t distance = kDistBase[distSymbol] + r.take(kDistExtra[distSymbol]);
      if (outSize - o < length || distance > o + history_) return false;
      copyMatch(output + o, distance, length);
      o += length;
    }
    *reader = r;
    *produced = o;
    return true;
  }

  // The block area has kSlack bytes beyond its end, so a copy may write up to
  // 7 bytes past the match; those bytes are overwritten or never used.
  static void copyMatch(uint8_t* dst, size_t distance, size_t length) {
    const uint8_t* src = dst - distance;
    if (distance >= 8) {
      for (size_t i = 0; i < length; i += 8) std::memcpy(dst + i, src + i, 8);
    } else if (distance == 1) {
      std::memset(dst, *src, length);
    } else {
      for (size_t i = 0; i < length; ++i) dst[i] = src[i];
    }
  }

  static constexpr size_t kSlack = 8;

  CodecMemory memory_;
  size_t history_ = 0;  // bytes of window_ before the block that hold output
  bool fixedLoaded_ = false;
  HuffmanTable litLen_;
  HuffmanTable dist_;
  HuffmanTable codeLen_;
  uint8_t window_[kHistory + kBlockMax + kSlack];
};

}  // namespace

BlockDecoder* createMsZipDecoder(const CodecMemory& memory) {
  if (memory.alloc == nullptr || memory.release == nullptr) return nullptr;
  void* place = memory.alloc(memory.context, sizeof(MsZipDecoder));
  if (place == nullptr) return nullptr;
  return new (place) MsZipDecoder(memory);
}

}  // namespace tw::cab
