// The MSZIP encoder's payloads, checked by zlib's inflate with the previous
// block as dictionary (the independent reference) and by our decoder.
#include <gtest/gtest.h>

#include <cstdio>

#include "cabinet/core/mszip/huffman_lengths.h"
#include "tests/cabinet/mszip/mszip_test_support.h"

namespace tw::cab::test {
namespace {

struct Case {
  const char* name;
  Bytes data;
};

std::vector<Case> folders() {
  Bytes runs = concat({Bytes(70000, 0), Bytes(40000, 'A'), Bytes(1, 'B'), Bytes(30000, 'A')});
  Bytes period3;
  for (int i = 0; i < 50000; ++i) period3.push_back(static_cast<uint8_t>("xyz"[i % 3]));
  return {
      {"one byte", Bytes(1, 0x42)},
      {"exactly one block", text(kBlockMax, 1)},
      {"one block and one byte", text(kBlockMax + 1, 2)},
      {"many blocks of program-like data", programLike(11 * kBlockMax + 1234, 3)},
      {"incompressible", noise(3 * kBlockMax + 100, 4)},
      {"long runs", runs},
      {"period of three", period3},
      {"mixed", concat({text(50000, 5), noise(20000, 6), programLike(60000, 7), Bytes(9, 9),
                        text(100, 8)})},
  };
}

TEST(MsZipEncoder, FoldersOfEverySizeExpandWithZlibAndWithOurDecoder) {
  HeapMemory heap;
  EncoderPtr encoder(createMsZipEncoder(heap.memory));
  DecoderPtr decoder(createMsZipDecoder(heap.memory));
  ASSERT_NE(encoder, nullptr);
  ASSERT_NE(decoder, nullptr);
  for (const auto& c : folders()) {
    SCOPED_TRACE(c.name);
    encoder->reset();
    decoder->reset();
    const auto blocks = encodeFolder(encoder.get(), c.data);
    ASSERT_EQ(blocks.size(), (c.data.size() + kBlockMax - 1) / kBlockMax);
    for (size_t i = 0; i < blocks.size(); ++i) {
      SCOPED_TRACE(i);
      const Block& b = blocks[i];
      ASSERT_GE(b.payload.size(), 3u);
      ASSERT_LE(b.payload.size(), kCompressedBlockMax);
      // Never worse than a stored block.
      ASSERT_LE(b.payload.size(), b.size + 7);
      size_t dictSize;
      const uint8_t* dict = previousBlock(c.data, i, &dictSize);
      Bytes expanded;
      ASSERT_TRUE(zlibInflate(b.payload, dict, dictSize, b.size, &expanded));
      ASSERT_EQ(0, std::memcmp(expanded.data(), c.data.data() + i * kBlockMax, b.size));
    }
    Bytes ours;
    ASSERT_TRUE(decodeFolder(decoder.get(), blocks, &ours));
    EXPECT_EQ(ours, c.data);
  }
}

TEST(MsZipEncoder, MatchesReachIntoThePreviousBlockUntilReset) {
  HeapMemory heap;
  EncoderPtr encoder(createMsZipEncoder(heap.memory));
  const Bytes block = noise(kBlockMax, 11);
  const Bytes twice = concat({block, block});
  const auto blocks = encodeFolder(encoder.get(), twice);
  ASSERT_EQ(blocks.size(), 2u);
  EXPECT_EQ(blocks[0].payload.size(), kBlockMax + 7);  // stored
  EXPECT_LT(blocks[1].payload.size(), 1000u);          // all of it from the dictionary
  Bytes expanded;
  EXPECT_FALSE(zlibInflate(blocks[1].payload, nullptr, 0, kBlockMax, &expanded));
  ASSERT_TRUE(zlibInflate(blocks[1].payload, block.data(), block.size(), kBlockMax, &expanded));
  EXPECT_EQ(expanded, block);

  // A new folder: the same block again owes nothing to the one before.
  encoder->reset();
  const auto fresh = encodeFolder(encoder.get(), block);
  EXPECT_EQ(fresh[0].payload.size(), kBlockMax + 7);
  ASSERT_TRUE(zlibInflate(fresh[0].payload, nullptr, 0, kBlockMax, &expanded));
  EXPECT_EQ(expanded, block);
}

TEST(MsZipEncoder, ChoosesTheSmallestBlockKind) {
  HeapMemory heap;
  EncoderPtr encoder(createMsZipEncoder(heap.memory));
  struct Expect {
    Bytes data;
    unsigned type;  // the first block's BTYPE
  };
  const char hello[] = "hello, hello";
  const Expect cases[] = {
      {Bytes(hello, hello + sizeof hello - 1), 1},  // a dynamic header costs more
      {text(kBlockMax, 21), 2},
      {noise(kBlockMax, 22), 0},
  };
  for (const auto& c : cases) {
    encoder->reset();
    const auto blocks = encodeFolder(encoder.get(), c.data);
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ((blocks[0].payload[2] >> 1) & 3, c.type);
    Bytes expanded;
    ASSERT_TRUE(zlibInflate(blocks[0].payload, nullptr, 0, c.data.size(), &expanded));
    EXPECT_EQ(expanded, c.data);
  }
}

TEST(MsZipEncoder, RatioStaysNearZlibLevelSix) {
  HeapMemory heap;
  EncoderPtr encoder(createMsZipEncoder(heap.memory));
  const Bytes data = concat({programLike(10 * kBlockMax, 31), text(6 * kBlockMax, 32),
                             programLike(4 * kBlockMax, 33)});
  size_t ours = 0;
  for (const auto& b : encodeFolder(encoder.get(), data)) ours += b.payload.size();
  size_t zlib6 = 0;
  for (const auto& b : zlibFolder(data, 6)) zlib6 += b.payload.size();
  std::printf("ours %zu bytes, zlib level 6 %zu bytes, of %zu\n", ours, zlib6, data.size());
  EXPECT_LE(ours, zlib6 + zlib6 / 20);
}

// Sum of 2^-length over the used symbols, in units of 2^-limit: exactly
// 2^limit for a complete code.
uint64_t kraft(const uint8_t* lengths, unsigned count, unsigned limit) {
  uint64_t sum = 0;
  for (unsigned s = 0; s < count; ++s)
    if (lengths[s] != 0) sum += uint64_t{1} << (limit - lengths[s]);
  return sum;
}

TEST(MsZipHuffman, CodesAreCompleteOptimalAndWithinTheirLimit) {
  uint8_t lengths[288];
  const uint32_t small[] = {1, 0, 1, 2, 4};
  mszip::buildCodeLengths(small, 5, 15, lengths);
  EXPECT_EQ(lengths[0], 3);
  EXPECT_EQ(lengths[1], 0);
  EXPECT_EQ(lengths[2], 3);
  EXPECT_EQ(lengths[3], 2);
  EXPECT_EQ(lengths[4], 1);

  // Fibonacci frequencies make the deepest Huffman trees: 286 symbols
  // would go 24 deep, 19 symbols 18 deep.
  for (unsigned count : {286u, 19u}) {
    const unsigned limit = count == 19 ? 7 : 15;
    uint32_t freq[288] = {};
    uint32_t a = 1, b = 1;
    for (unsigned s = 0; s < 25 && s < count; ++s) {
      freq[s] = a;
      const uint32_t next = a + b;
      a = b;
      b = next;
    }
    for (unsigned s = 25; s < count; ++s) freq[s] = 1;
    mszip::buildCodeLengths(freq, count, limit, lengths);
    for (unsigned s = 0; s < count; ++s) {
      EXPECT_GE(lengths[s], 1) << s;
      EXPECT_LE(lengths[s], limit) << s;
    }
    EXPECT_EQ(kraft(lengths, count, limit), uint64_t{1} << limit);
  }
}

TEST(MsZipEncoder, SkewedBlocksKeepCodesWithinFifteenBits) {
  // Byte i appears Fibonacci(i) times, shuffled: an unlimited Huffman code
  // would need more than 15 bits for the rarest bytes.
  Bytes data;
  uint32_t a = 1, b = 1;
  for (int i = 0; i < 21; ++i) {
    data.insert(data.end(), a, static_cast<uint8_t>(i * 11));
    const uint32_t next = a + b;
    a = b;
    b = next;
  }
  data.resize(kBlockMax, 0);
  uint32_t x = 12345;
  for (size_t i = data.size() - 1; i > 0; --i) {
    x = x * 1103515245u + 12345u;
    std::swap(data[i], data[(x >> 8) % (i + 1)]);
  }
  HeapMemory heap;
  EncoderPtr encoder(createMsZipEncoder(heap.memory));
  const auto blocks = encodeFolder(encoder.get(), data);
  EXPECT_EQ((blocks[0].payload[2] >> 1) & 3, 2);
  Bytes expanded;
  ASSERT_TRUE(zlibInflate(blocks[0].payload, nullptr, 0, data.size(), &expanded));
  EXPECT_EQ(expanded, data);
}

TEST(MsZipEncoder, RefusesBadArgumentsAndGivesItsMemoryBack) {
  HeapMemory heap;
  {
    EncoderPtr encoder(createMsZipEncoder(heap.memory));
    ASSERT_NE(encoder, nullptr);
    EXPECT_EQ(heap.live, 1);
    Bytes in(kBlockMax + 1, 1);
    Bytes out(kCompressedBlockMax);
    EXPECT_EQ(encoder->encode(in.data(), 0, out.data(), true), 0u);
    EXPECT_EQ(encoder->encode(in.data(), kBlockMax + 1, out.data(), true), 0u);
    EXPECT_EQ(encoder->encode(nullptr, 1, out.data(), true), 0u);
    // Refusals leave the encoder usable.
    EXPECT_GT(encoder->encode(in.data(), kBlockMax, out.data(), true), 0u);
  }
  EXPECT_EQ(heap.live, 0);
  heap.failFrom = 0;
  EXPECT_EQ(createMsZipEncoder(heap.memory), nullptr);
  EXPECT_EQ(createMsZipDecoder(heap.memory), nullptr);
  EXPECT_EQ(heap.live, 0);
}

}  // namespace
}  // namespace tw::cab::test
