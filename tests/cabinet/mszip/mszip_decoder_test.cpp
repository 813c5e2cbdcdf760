// The MSZIP decoder on zlib's payloads (every block kind, history across
// blocks) and on damaged ones, which it must refuse without harm.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/cabinet/mszip/mszip_test_support.h"

namespace tw::cab::test {
namespace {

Bytes sample() {
  return concat({text(40000, 41), programLike(70000, 42), Bytes(5000, 0), noise(3000, 43),
                 text(20000, 44)});
}

TEST(MsZipDecoder, ExpandsZlibFoldersOfEveryBlockKind) {
  struct Mode {
    const char* name;
    int level;
    int strategy;
  };
  const Mode modes[] = {{"dynamic", 6, Z_DEFAULT_STRATEGY}, {"fixed", 6, Z_FIXED},
                        {"stored", 0, Z_DEFAULT_STRATEGY},  {"best", 9, Z_DEFAULT_STRATEGY},
                        {"fast", 1, Z_DEFAULT_STRATEGY},    {"huffman only", 6, Z_HUFFMAN_ONLY},
                        {"runs", 6, Z_RLE}};
  const Bytes inputs[] = {Bytes(1, 'x'), text(kBlockMax, 45), text(kBlockMax + 1, 46), sample(),
                          Bytes(3 * kBlockMax, 0xFF)};
  HeapMemory heap;
  DecoderPtr decoder(createMsZipDecoder(heap.memory));
  ASSERT_NE(decoder, nullptr);
  for (const auto& mode : modes) {
    for (const auto& data : inputs) {
      SCOPED_TRACE(mode.name);
      SCOPED_TRACE(data.size());
      decoder->reset();
      Bytes out;
      ASSERT_TRUE(decodeFolder(decoder.get(), zlibFolder(data, mode.level, mode.strategy), &out));
      EXPECT_EQ(out, data);
    }
  }
}

TEST(MsZipDecoder, ExpandsOnePayloadMixingAllBlockKinds) {
  const Bytes data = concat({noise(3000, 51), text(9000, 52), text(12000, 53)});
  z_stream z{};
  ASSERT_EQ(deflateInit2(&z, 0, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY), Z_OK);
  Bytes payload(2 + deflateBound(&z, data.size()) + 64);
  payload[0] = 'C';
  payload[1] = 'K';
  z.next_out = payload.data() + 2;
  z.avail_out = static_cast<uInt>(payload.size() - 2);
  const size_t parts[] = {0, 3000, 12000, data.size()};
  const int levels[] = {0, 6, 6};
  const int strategies[] = {Z_DEFAULT_STRATEGY, Z_FIXED, Z_DEFAULT_STRATEGY};
  for (int i = 0; i < 3; ++i) {
    ASSERT_EQ(deflateParams(&z, levels[i], strategies[i]), Z_OK);
    z.next_in = const_cast<uint8_t*>(data.data() + parts[i]);
    z.avail_in = static_cast<uInt>(parts[i + 1] - parts[i]);
    ASSERT_EQ(deflate(&z, i == 2 ? Z_FINISH : Z_BLOCK), i == 2 ? Z_STREAM_END : Z_OK);
  }
  payload.resize(2 + z.total_out);
  deflateEnd(&z);
  // The noise went out stored: its bytes stand in the payload as they are.
  ASSERT_NE(std::search(payload.begin(), payload.end(), data.begin() + 100, data.begin() + 200),
            payload.end());

  HeapMemory heap;
  DecoderPtr decoder(createMsZipDecoder(heap.memory));
  Bytes out(data.size());
  ASSERT_TRUE(decoder->decode(payload.data(), payload.size(), out.data(), out.size()));
  EXPECT_EQ(out, data);
}

TEST(MsZipDecoder, HistoryReachesBackOneBlockAndEndsAtReset) {
  // The second block repeats most of the first, from 1000 bytes in.
  const Bytes block = noise(kBlockMax, 61);
  const Bytes data = concat({block, Bytes(block.begin() + 1000, block.end()), noise(1000, 63),
                             text(100, 62)});
  const auto blocks = zlibFolder(data, 6);
  ASSERT_LT(blocks[1].payload.size(), 2000u);
  HeapMemory heap;
  DecoderPtr decoder(createMsZipDecoder(heap.memory));
  Bytes out;
  ASSERT_TRUE(decodeFolder(decoder.get(), blocks, &out));
  EXPECT_EQ(out, data);

  // Without the first block, the second reaches into nothing.
  decoder->reset();
  out.assign(kBlockMax, 0);
  EXPECT_FALSE(decoder->decode(blocks[1].payload.data(), blocks[1].payload.size(), out.data(),
                               kBlockMax));
  ASSERT_TRUE(decoder->decode(blocks[0].payload.data(), blocks[0].payload.size(), out.data(),
                              kBlockMax));
  decoder->reset();
  EXPECT_FALSE(decoder->decode(blocks[1].payload.data(), blocks[1].payload.size(), out.data(),
                               kBlockMax));
}

TEST(MsZipDecoder, RefusesEveryTruncationAndKeepsItsHistory) {
  const Bytes data = sample();
  const std::vector<Block> folders[] = {zlibFolder(data, 0), zlibFolder(data, 6, Z_FIXED),
                                        zlibFolder(data, 6)};
  HeapMemory heap;
  DecoderPtr decoder(createMsZipDecoder(heap.memory));
  Bytes out(kBlockMax);
  for (const auto& folder : folders) {
    decoder->reset();
    const Block& first = folder[0];
    const Block& second = folder[1];
    ASSERT_TRUE(
        decoder->decode(first.payload.data(), first.payload.size(), out.data(), first.size));
    const size_t size = second.payload.size();
    for (size_t cut = 0; cut < size; cut += (cut < 64 || cut + 16 > size) ? 1 : 7) {
      // A copy of exactly cut bytes, so the sanitizer sees any read past it.
      const Bytes truncated(second.payload.begin(), second.payload.begin() + cut);
      ASSERT_FALSE(decoder->decode(truncated.data(), truncated.size(), out.data(), second.size))
          << "cut at " << cut;
    }
    ASSERT_TRUE(
        decoder->decode(second.payload.data(), second.payload.size(), out.data(), second.size));
    EXPECT_EQ(0, std::memcmp(out.data(), data.data() + kBlockMax, second.size));
  }
}

TEST(MsZipDecoder, SurvivesFlippedBitsAndWrongSizes) {
  const Bytes data = sample();
  const auto blocks = zlibFolder(data, 6);
  const Block& first = blocks[0];
  const Block& second = blocks[1];
  HeapMemory heap;
  DecoderPtr decoder(createMsZipDecoder(heap.memory));
  Bytes out(kBlockMax);
  size_t refused = 0;
  size_t tried = 0;
  for (size_t bit = 0; bit < second.payload.size() * 8; bit += 23) {
    decoder->reset();
    ASSERT_TRUE(
        decoder->decode(first.payload.data(), first.payload.size(), out.data(), first.size));
    Bytes damaged = second.payload;
    damaged[bit / 8] ^= static_cast<uint8_t>(1u << (bit % 8));
    ++tried;
    if (decoder->decode(damaged.data(), damaged.size(), out.data(), second.size)) continue;
    ++refused;
    // A refused block leaves the history as it was.
    ASSERT_TRUE(
        decoder->decode(second.payload.data(), second.payload.size(), out.data(), second.size));
    ASSERT_EQ(0, std::memcmp(out.data(), data.data() + kBlockMax, second.size));
  }
  // Flips in the signature are always caught; in coded data often, not
  // always: deflate carries no check of its own (CFDATA's checksum does).
  EXPECT_GT(refused, 16u);

  decoder->reset();
  const Bytes& p = first.payload;
  EXPECT_FALSE(decoder->decode(p.data(), p.size(), out.data(), first.size - 1));
  Bytes larger(first.size + 1);
  EXPECT_FALSE(decoder->decode(p.data(), p.size(), larger.data(), larger.size()));
  EXPECT_FALSE(decoder->decode(p.data(), p.size(), out.data(), 0));
  Bytes huge(kBlockMax + 1);
  EXPECT_FALSE(decoder->decode(p.data(), p.size(), huge.data(), huge.size()));
  EXPECT_FALSE(decoder->decode(p.data(), 1, out.data(), first.size));
  Bytes unsigned_ = p;
  unsigned_[1] = 'Q';
  EXPECT_FALSE(decoder->decode(unsigned_.data(), unsigned_.size(), out.data(), first.size));
  ASSERT_TRUE(decoder->decode(p.data(), p.size(), out.data(), first.size));
  EXPECT_EQ(0, std::memcmp(out.data(), data.data(), first.size));
}

// Hand-made payloads for faults that no encoder writes.
class Bits {
 public:
  Bits() : bytes_{'C', 'K'} {}
  Bits& put(unsigned value, unsigned n) {
    for (unsigned i = 0; i < n; ++i, ++count_) {
      if (count_ % 8 == 0) bytes_.push_back(0);
      const unsigned bit = i < 32 ? (value >> i) & 1 : 0;
      bytes_.back() |= static_cast<uint8_t>(bit << (count_ % 8));
    }
    return *this;
  }
  // A Huffman code, most significant bit first.
  Bits& code(unsigned value, unsigned n) {
    for (unsigned i = n; i-- > 0;) put((value >> i) & 1, 1);
    return *this;
  }
  Bytes done() const { return bytes_; }

 private:
  Bytes bytes_;
  unsigned count_ = 0;
};

bool decodes(const Bytes& payload, size_t size) {
  HeapMemory heap;
  DecoderPtr decoder(createMsZipDecoder(heap.memory));
  Bytes out(size);
  return decoder->decode(payload.data(), payload.size(), out.data(), size);
}

// A dynamic header whose code-length code gives symbols 0..12 four bits and
// 13..18 five bits, a complete code.
Bits dynamicHeader(unsigned litLenCount, unsigned distCount) {
  Bits b;
  b.put(1, 1).put(2, 2).put(litLenCount - 257, 5).put(distCount - 1, 5).put(15, 4);
  for (uint8_t symbol : {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15})
    b.put(symbol <= 12 ? 4 : 5, 3);
  return b;
}
// The canonical code of symbol s under that code-length code.
void codeLength(Bits* b, unsigned s) {
  if (s <= 12)
    b->code(s, 4);
  else
    b->code(26 + (s - 13), 5);
}

TEST(MsZipDecoder, RefusesMalformedBlocks) {
  // The writer itself: a fixed block with 'A' (0x30 + 0x41, 8 bits), end.
  EXPECT_TRUE(decodes(Bits().put(1, 1).put(1, 2).code(0x30 + 'A', 8).code(0, 7).done(), 1));
  // The same, not marked final, and nothing follows.
  EXPECT_FALSE(decodes(Bits().put(0, 1).put(1, 2).code(0x30 + 'A', 8).code(0, 7).done(), 1));
  // Block type 3.
  EXPECT_FALSE(decodes(Bits().put(1, 1).put(3, 2).put(0, 16).done(), 1));
  // Stored, with NLEN not the complement of LEN.
  EXPECT_FALSE(decodes(Bits().put(1, 1).put(0, 2).put(0, 5).put(1, 16).put(0xFFFF, 16).put('A', 8)
                           .done(), 1));
  EXPECT_TRUE(decodes(Bits().put(1, 1).put(0, 2).put(0, 5).put(1, 16).put(0xFFFE, 16).put('A', 8)
                          .done(), 1));
  // Stored, longer than the payload.
  EXPECT_FALSE(decodes(Bits().put(1, 1).put(0, 2).put(0, 5).put(2, 16).put(0xFFFD, 16).put('A', 8)
                           .done(), 2));
  // Fixed: length symbol 286 (11000110), distance symbol 30 after a literal.
  EXPECT_FALSE(decodes(Bits().put(1, 1).put(1, 2).code(0xC6, 8).code(0, 7).done(), 1));
  EXPECT_FALSE(decodes(Bits().put(1, 1).put(1, 2).code(0x30 + 'A', 8).code(1, 7).code(30, 5)
                           .code(0, 7).done(), 4));
  // Fixed: distance 1 with no output and no history before it.
  EXPECT_FALSE(decodes(Bits().put(1, 1).put(1, 2).code(1, 7).code(0, 5).code(0, 7).done(), 3));
  // Fixed: a match running past the block's size.
  EXPECT_FALSE(decodes(Bits().put(1, 1).put(1, 2).code(0x30 + 'A', 8).code(1, 7).code(0, 5)
                           .code(0, 7).done(), 3));
  EXPECT_TRUE(decodes(Bits().put(1, 1).put(1, 2).code(0x30 + 'A', 8).code(1, 7).code(0, 5)
                          .code(0, 7).done(), 4));

  // Dynamic, sound: 'A' and end of block one bit each, one distance code.
  {
    Bits b = dynamicHeader(257, 1);
    codeLength(&b, 18);
    b.put(65 - 11, 7);
    codeLength(&b, 1);
    codeLength(&b, 18);
    b.put(138 - 11, 7);
    codeLength(&b, 18);
    b.put(52 - 11, 7);
    codeLength(&b, 1);
    codeLength(&b, 1);
    EXPECT_TRUE(decodes(b.code(0, 1).code(0, 1).code(1, 1).done(), 2));
  }
  // Dynamic: more than 286 literal/length codes, more than 30 distance codes.
  EXPECT_FALSE(decodes(dynamicHeader(287, 1).put(0, 64).done(), 1));
  EXPECT_FALSE(decodes(dynamicHeader(257, 31).put(0, 64).done(), 1));
  // Dynamic: an over-subscribed code-length code (19 codes of 1 bit).
  {
    Bits b;
    b.put(1, 1).put(2, 2).put(0, 5).put(0, 5).put(15, 4);
    for (int i = 0; i < 19; ++i) b.put(1, 3);
    EXPECT_FALSE(decodes(b.put(0, 64).done(), 1));
  }
  // Dynamic: a repeat of the previous length with no length before it.
  {
    Bits b = dynamicHeader(257, 1);
    codeLength(&b, 16);
    EXPECT_FALSE(decodes(b.put(0, 64).done(), 1));
  }
  // Dynamic: lengths without the end-of-block code (all 256 literals 8
  // bits, 256 gets 0, one distance code).
  {
    Bits b = dynamicHeader(257, 1);
    for (int i = 0; i < 256; ++i) codeLength(&b, 8);
    codeLength(&b, 0);
    codeLength(&b, 1);
    EXPECT_FALSE(decodes(b.put(0, 64).done(), 1));
  }
  // Dynamic: repeats running past the number of lengths.
  {
    Bits b = dynamicHeader(257, 1);
    for (int i = 0; i < 2; ++i) {
      codeLength(&b, 18);
      b.put(127, 7);  // 138 zeros each: 276 > 258
    }
    EXPECT_FALSE(decodes(b.put(0, 64).done(), 1));
  }
  // Dynamic: over-subscribed literal/length code (257 lengths of 1).
  {
    Bits b = dynamicHeader(257, 1);
    for (int i = 0; i < 258; ++i) codeLength(&b, 1);
    EXPECT_FALSE(decodes(b.put(0, 64).done(), 1));
  }
}

}  // namespace
}  // namespace tw::cab::test
