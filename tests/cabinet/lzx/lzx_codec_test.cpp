// The LZX codec: our encoder's folders must come back byte for byte through
// our decoder and through an independent one, stay inside the CFDATA
// limits, and our decoder must refuse damaged payloads without harm.
#include <gtest/gtest.h>

#include <cstring>

#include "cabinet/core/codec.h"
#include "cabinet/core/lzx/lzx_huffman.h"
#include "tests/cabinet/lzx/lzx_support.h"

using namespace lzxtest;
using namespace tw::cab;

namespace {

// Encodes data, checks the payload limits and the round trip through both
// decoders; returns the folder for further checks.
Folder roundTrip(const Bytes& data, unsigned windowBits) {
  Folder folder = encodeFolder(data, windowBits);
  EXPECT_EQ(folder.payloads.size(), (data.size() + kBlockMax - 1) / kBlockMax);
  for (const Bytes& p : folder.payloads) {
    EXPECT_GT(p.size(), 0u);
    EXPECT_LE(p.size(), kCompressedBlockMax);
    EXPECT_EQ(p.size() % 2, 0u) << "frames end on 16-bit boundaries";
  }
  Bytes ours;
  EXPECT_TRUE(decodeFolder(folder, windowBits, &ours));
  EXPECT_TRUE(ours == data) << "our decoder, window bits " << windowBits;
  if (haveIndependentDecoder()) {
    Bytes theirs;
    EXPECT_TRUE(extractIndependently(writeCabinet(folder, lzxType(windowBits), data.size()), &theirs));
    EXPECT_TRUE(theirs == data) << "independent decoder, window bits " << windowBits;
  }
  return folder;
}

size_t payloadBytes(const Folder& f) {
  size_t n = 0;
  for (const Bytes& p : f.payloads) n += p.size();
  return n;
}

Bytes concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

}  // namespace

TEST(LzxCodec, SizesAroundTheFrame) {
  if (!haveIndependentDecoder()) GTEST_LOG_(WARNING) << "libmspack missing: own decoder only";
  roundTrip(Bytes{}, 21);
  roundTrip(Bytes{0x42}, 21);
  roundTrip(Bytes{0xE8, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, 21);
  roundTrip(textLike(kBlockMax, 1), 21);
  roundTrip(textLike(kBlockMax + 1, 2), 21);
  roundTrip(textLike(kBlockMax - 1, 3), 21);
  // Many frames: text compresses well and matches reach across frames.
  Folder f = roundTrip(textLike(20 * kBlockMax + 777, 4), 21);
  EXPECT_LT(payloadBytes(f), 20 * kBlockMax / 3);
}

// The type of the block that opens a payload (after the stream header in
// the folder's first).
unsigned blockType(const Bytes& payload, bool first) {
  unsigned skip = first ? (payload[1] & 0x80 ? 33 : 1) : 0;
  auto bit = [&](unsigned i) {
    unsigned word = payload[(i / 16) * 2] | (payload[(i / 16) * 2 + 1] << 8);
    return (word >> (15 - i % 16)) & 1;
  };
  return (bit(skip) << 2) | (bit(skip + 1) << 1) | bit(skip + 2);
}

TEST(LzxCodec, EveryBlockTypeIsWritten) {
  // Text (offsets of any alignment), records copied at multiples of eight
  // bytes (aligned offsets pay), and noise (stored).
  Bytes records;
  Bytes pool = randomBytes(1 << 16, 77);
  uint32_t s = 99;
  while (records.size() < 2 * kBlockMax) {
    s = s * 1103515245u + 12345u;
    size_t from = ((s >> 8) % (pool.size() / 8 - 8)) * 8;
    records.insert(records.end(), pool.begin() + from, pool.begin() + from + 24);
  }
  Bytes data = concat({textLike(2 * kBlockMax, 5), pool, records, randomBytes(kBlockMax, 6)});
  Folder f = roundTrip(data, 21);
  bool seen[4] = {};
  for (size_t i = 0; i < f.payloads.size(); ++i) seen[blockType(f.payloads[i], i == 0) & 3] = true;
  EXPECT_TRUE(seen[1]) << "verbatim";
  EXPECT_TRUE(seen[2]) << "aligned offsets";
  EXPECT_TRUE(seen[3]) << "uncompressed";
}

TEST(LzxCodec, IncompressibleAndRunsStayInsideTheLimits) {
  Bytes noise = randomBytes(5 * kBlockMax + 3, 9);
  Folder f = roundTrip(noise, 21);
  for (const Bytes& p : f.payloads) EXPECT_LE(p.size(), kBlockMax + 24);
  // Noise, then a run, then the same noise again: the repeat is found in
  // the window and the run is a chain of long matches.
  Bytes run(3 * kBlockMax + 5, 0x00);
  Bytes mixed = concat({noise, run, noise, Bytes(kBlockMax, 0xFF)});
  Folder g = roundTrip(mixed, 21);
  EXPECT_LT(payloadBytes(g), noise.size() + noise.size() / 20);
  Folder h = roundTrip(Bytes(9 * kBlockMax, 'a'), 21);
  EXPECT_LT(payloadBytes(h), 9 * 200u);
}

TEST(LzxCodec, CallTranslationAtFrameEndsAndRangeLimits) {
  // Calls everywhere, with E8 bytes in the last ten bytes of frames and in
  // the operand of a call at a frame's end.
  Bytes code = callHeavy(6 * kBlockMax + 100, 5);
  for (size_t frame = 1; frame <= 6; ++frame) {
    size_t end = frame * kBlockMax;
    for (size_t k = 1; k <= 12; ++k) code[end - k] = 0xE8;
  }
  Folder f = roundTrip(code, 21);
  // Absolute targets repeat: far smaller than the same bytes untranslated
  // would be for a pure order-0 coder.
  EXPECT_LT(payloadBytes(f), code.size() / 2);

  // Operands just inside and just outside the translated range, relative to
  // each call's position, and the extremes of a 32-bit value.
  Bytes edge;
  const int32_t values[] = {0, 1, -1, 0x03FFFFFF, 0x04000000, 0x7FFFFFFF, INT32_MIN, -100000, 100000};
  while (edge.size() < 3 * kBlockMax) {
    for (int32_t v : values) {
      int32_t cur = static_cast<int32_t>(edge.size());
      const int32_t around[] = {v, -cur, -cur - 1, static_cast<int32_t>(static_cast<uint32_t>(v) - static_cast<uint32_t>(cur))};
      for (int32_t a : around) {
        edge.push_back(0xE8);
        for (int i = 0; i < 4; ++i) edge.push_back(static_cast<uint8_t>(static_cast<uint32_t>(a) >> (8 * i)));
        edge.push_back(0x90);
      }
    }
  }
  roundTrip(edge, 21);
  // The last frame shorter than ten bytes, and exactly eleven.
  roundTrip(concat({callHeavy(kBlockMax, 6), Bytes{0xE8, 0xE8, 0, 0, 0}}), 21);
  roundTrip(concat({callHeavy(kBlockMax, 7), Bytes{0xE8, 5, 0, 0, 0, 0xE8, 1, 2, 3, 4, 0xE8}}), 21);
}

TEST(LzxCodec, LargerThanTheWindowWithFarMatches) {
  // 2.5 MB of noise then a copy of its tail: matches at distances close to
  // the 2 MB window, and a copy of its head, which has left the window.
  Bytes noise = randomBytes(5 * (1u << 19), 21);
  Bytes tail(noise.end() - (1u << 20) - 4096, noise.end() - (1u << 20) + 28672);
  Bytes far(noise.end() - (1u << 21) + 100, noise.end() - (1u << 21) + 100 + 65536);
  Bytes all = concat({noise, far, tail, Bytes(noise.begin(), noise.begin() + 65536)});
  Folder f = roundTrip(all, 21);
  size_t last = f.payloads.size();
  // The copy of far bytes compresses; the copy of the head cannot.
  size_t farBytes = f.payloads[noise.size() / kBlockMax].size() + f.payloads[noise.size() / kBlockMax + 1].size();
  EXPECT_LT(farBytes, 4096u);
  EXPECT_GT(f.payloads[last - 1].size(), kBlockMax - 64);
}

TEST(LzxCodec, EveryWindowSize) {
  // A pattern that repeats at 40 KB and at 3 MB: beyond small windows,
  // inside large ones.
  Bytes block = randomBytes(40000, 3);
  Bytes data = concat({block, block, textLike(100000, 8), block});
  for (unsigned bits = kLzxWindowBitsMin; bits <= kLzxWindowBitsMax; ++bits) {
    SCOPED_TRACE(bits);
    roundTrip(data, bits);
  }
  EXPECT_EQ(createLzxEncoder(heapMemory(), 14), nullptr);
  EXPECT_EQ(createLzxEncoder(heapMemory(), 22), nullptr);
  EXPECT_EQ(createLzxDecoder(heapMemory(), 14), nullptr);
  EXPECT_EQ(createLzxDecoder(heapMemory(), 22), nullptr);
  CodecMemory none = heapMemory();
  none.alloc = [](void*, size_t) -> void* { return nullptr; };
  EXPECT_EQ(createLzxEncoder(none, 21), nullptr);
  EXPECT_EQ(createLzxDecoder(none, 21), nullptr);
}

TEST(LzxCodec, ResetStartsAFreshFolder) {
  Bytes a = callHeavy(3 * kBlockMax + 10, 1), b = textLike(2 * kBlockMax + 3, 2);
  BlockEncoder* e = createLzxEncoder(heapMemory(), 21);
  BlockDecoder* d = createLzxDecoder(heapMemory(), 21);
  ASSERT_NE(e, nullptr);
  ASSERT_NE(d, nullptr);
  Folder fa = encodeFolder(*e, a);
  e->reset();
  Folder fb = encodeFolder(*e, b);
  // After the reset the encoder writes what a new one writes.
  Folder fresh = encodeFolder(b, 21);
  EXPECT_TRUE(fb.payloads == fresh.payloads);
  Bytes out;
  EXPECT_TRUE(decodeFolder(*d, fa, &out));
  EXPECT_TRUE(out == a);
  d->reset();
  EXPECT_TRUE(decodeFolder(*d, fb, &out));
  EXPECT_TRUE(out == b);
  // Without a reset the second folder's first frame does not decode (its
  // stream header is taken for block data) or decodes to something else.
  d->reset();
  EXPECT_TRUE(decodeFolder(*d, fa, &out));
  Bytes wrong;
  EXPECT_FALSE(decodeFolder(*d, fb, &wrong) && wrong == b);
  // Only the folder's last block may be short: the encoder refuses another.
  uint8_t payload[kCompressedBlockMax];
  e->reset();
  EXPECT_GT(e->encode(b.data(), 100, payload, false), 0u);
  EXPECT_EQ(e->encode(b.data(), 100, payload, true), 0u);
  e->destroy();
  d->destroy();
}

TEST(LzxCodec, DamagedPayloadsAreRefused) {
  Bytes data = concat({callHeavy(3 * kBlockMax, 2), textLike(2 * kBlockMax + 99, 3), randomBytes(kBlockMax, 4)});
  Folder good = encodeFolder(data, 21);
  BlockDecoder* d = createLzxDecoder(heapMemory(), 21);
  ASSERT_NE(d, nullptr);
  Bytes out;
  // Truncated by two bytes or more: every frame, whatever block it holds.
  for (size_t frame = 0; frame < good.payloads.size(); ++frame) {
    for (size_t cut : {size_t{2}, size_t{3}, size_t{17}, good.payloads[frame].size()}) {
      Folder bad = good;
      bad.payloads[frame].resize(bad.payloads[frame].size() - cut);
      d->reset();
      EXPECT_FALSE(decodeFolder(*d, bad, &out)) << "frame " << frame << " cut " << cut;
      // Refused for good: the next frame is not decoded on a broken window.
      if (frame + 1 < good.payloads.size()) {
        Bytes next(good.uncompressed[frame + 1]);
        EXPECT_FALSE(d->decode(good.payloads[frame + 1].data(), good.payloads[frame + 1].size(), next.data(),
                               next.size()));
      }
    }
  }
  // Flipped bits: never out of bounds (the sanitizers watch); many refused,
  // and the decoder works again after a reset.
  unsigned refused = 0, trials = 0;
  uint32_t s = 12345;
  for (size_t frame = 0; frame < good.payloads.size(); ++frame) {
    for (int k = 0; k < 60; ++k) {
      Folder bad = good;
      s = s * 1103515245u + 12345u;
      Bytes& p = bad.payloads[frame];
      size_t at = (s >> 8) % (k < 30 ? (p.size() < 200 ? p.size() : 200) : p.size());
      p[at] ^= static_cast<uint8_t>(1u << ((s >> 4) % 8));
      d->reset();
      bool ok = decodeFolder(*d, bad, &out);
      ++trials;
      if (!ok) ++refused;
      else EXPECT_EQ(out.size(), data.size());
    }
  }
  EXPECT_GT(refused, trials / 4);
  d->reset();
  EXPECT_TRUE(decodeFolder(*d, good, &out));
  EXPECT_TRUE(out == data);
  // Sizes the decoder never accepts.
  uint8_t buf[kBlockMax + 1];
  d->reset();
  EXPECT_FALSE(d->decode(good.payloads[0].data(), good.payloads[0].size(), buf, kBlockMax + 1));
  EXPECT_FALSE(d->decode(good.payloads[0].data(), good.payloads[0].size(), buf, 0));
  d->destroy();
}

// Streams our encoder never writes but other encoders may: blocks that span
// frames, an odd-sized uncompressed block inside a frame, repeated offsets
// set by an uncompressed block. Written by hand with a fixed literal code.
namespace {

class StreamWriter {
 public:
  void bits(uint32_t v, unsigned n) {
    for (unsigned i = n; i-- > 0;) {
      acc_ = static_cast<uint16_t>((acc_ << 1) | ((v >> i) & 1));
      if (++count_ == 16) {
        cur().push_back(static_cast<uint8_t>(acc_));
        cur().push_back(static_cast<uint8_t>(acc_ >> 8));
        count_ = 0;
        acc_ = 0;
      }
    }
  }
  void align() {
    if (count_) bits(0, 16 - count_);
  }
  void byte(uint8_t b) { cur().push_back(b); }
  void endFrame(size_t size) {
    align();
    folder.uncompressed.push_back(size);
    folder.payloads.emplace_back();
  }
  Bytes& cur() {
    if (folder.payloads.empty()) folder.payloads.emplace_back();
    return folder.payloads.back();
  }
  bool aligned() const { return count_ == 0; }
  Folder folder;

 private:
  uint16_t acc_ = 0;
  unsigned count_ = 0;
};

// Main-tree lengths: literals 0..254 at 8 bits, 255 and "repeat R0, length
// 2" at 9 bits; everything else unused. Sent through a pre-tree that codes
// each delta symbol with 5 bits (all twenty at length 5 but four at 4).
void writeLiteralTrees(StreamWriter& w, uint8_t* previousMain, unsigned mainCount) {
  uint8_t pre[20];
  for (unsigned i = 0; i < 20; ++i) pre[i] = i < 12 ? 4 : 5;  // 12/16 + 8/32 = 1
  uint16_t preCodes[20];
  lzx::buildCodes(pre, 20, preCodes);
  auto sendRange = [&](uint8_t* prev, const uint8_t* next, unsigned first, unsigned last) {
    for (unsigned i = 0; i < 20; ++i) w.bits(pre[i], 4);
    for (unsigned i = first; i < last; ++i) {
      unsigned z = (prev[i] + 17 - next[i]) % 17;
      w.bits(preCodes[z], pre[z]);
      prev[i] = next[i];
    }
  };
  uint8_t main[lzx::kMaxMainSymbols] = {};
  for (unsigned i = 0; i < 255; ++i) main[i] = 8;
  main[255] = 9;
  main[256] = 9;
  sendRange(previousMain, main, 0, 256);
  sendRange(previousMain, main, 256, mainCount);
  uint8_t lengthPrev[lzx::kLengthSymbols] = {}, lengthNext[lzx::kLengthSymbols] = {};
  sendRange(lengthPrev, lengthNext, 0, lzx::kLengthSymbols);
}

void literal(StreamWriter& w, uint8_t b) {
  if (b < 255) w.bits(b, 8);
  else w.bits(0x1FE, 9);
}

}  // namespace

TEST(LzxCodec, DecoderTakesBlocksAcrossFramesAndOddUncompressedBlocks) {
  const unsigned bits = 16;
  const unsigned mainCount = lzx::kNumChars + 8 * lzx::slotCount(bits);
  Bytes expect;
  StreamWriter w;
  uint8_t prevMain[lzx::kMaxMainSymbols] = {};
  w.bits(0, 1);  // no call translation
  // An uncompressed block of 5 bytes with R0 = 3, then a verbatim block of
  // 40000 bytes across the frame boundary whose first symbols repeat R0.
  w.bits(lzx::kBlockUncompressed, 3);
  w.bits(0, 16);
  w.bits(5, 8);
  if (w.aligned()) w.bits(0, 16);
  else w.align();
  for (uint32_t r : {3u, 7u, 9u})
    for (int i = 0; i < 4; ++i) w.byte(static_cast<uint8_t>(r >> (8 * i)));
  for (uint8_t b : {10, 20, 30, 40, 50}) {
    w.byte(b);
    expect.push_back(b);
  }
  w.byte(0);  // pad after the odd block
  w.bits(lzx::kBlockVerbatim, 3);
  w.bits(40000 >> 8, 16);
  w.bits(40000 & 0xFF, 8);
  writeLiteralTrees(w, prevMain, mainCount);
  w.bits(0x1FF, 9);  // repeat R0 (3), length 2: 30 40
  expect.push_back(30);
  expect.push_back(40);
  while (expect.size() < kBlockMax) {
    uint8_t b = static_cast<uint8_t>(expect.size() * 7 + (expect.size() >> 9));
    literal(w, b);
    expect.push_back(b);
  }
  w.endFrame(kBlockMax);
  while (expect.size() < 40005) {
    uint8_t b = static_cast<uint8_t>(expect.size() * 13);
    literal(w, b);
    expect.push_back(b);
  }
  // An uncompressed block over the rest of this frame and 3 KB of the next.
  size_t stored = 2 * kBlockMax - expect.size() + 3000;
  w.bits(lzx::kBlockUncompressed, 3);
  w.bits(static_cast<uint32_t>(stored >> 8), 16);
  w.bits(stored & 0xFF, 8);
  if (w.aligned()) w.bits(0, 16);
  else w.align();
  for (uint32_t r : {1u, 1u, 1u})
    for (int i = 0; i < 4; ++i) w.byte(static_cast<uint8_t>(r >> (8 * i)));
  for (size_t i = 0; i < stored; ++i) {
    if (expect.size() == 2 * kBlockMax) w.endFrame(kBlockMax);
    uint8_t b = static_cast<uint8_t>(i * 31 + 5);
    w.byte(b);
    expect.push_back(b);
  }
  if (stored & 1) w.byte(0);
  w.endFrame(expect.size() - 2 * kBlockMax);
  w.folder.payloads.pop_back();

  Bytes ours;
  EXPECT_TRUE(decodeFolder(w.folder, bits, &ours));
  EXPECT_TRUE(ours == expect);
  if (haveIndependentDecoder()) {
    Bytes theirs;
    EXPECT_TRUE(extractIndependently(writeCabinet(w.folder, lzxType(bits), expect.size()), &theirs));
    EXPECT_TRUE(theirs == expect);
  }
}

TEST(LzxCodec, DecoderRefusesMalformedStreams) {
  const unsigned bits = 16;
  const unsigned mainCount = lzx::kNumChars + 8 * lzx::slotCount(bits);
  auto refused = [&](StreamWriter& w, size_t size) {
    w.endFrame(size);
    w.folder.payloads.pop_back();
    Bytes out;
    return !decodeFolder(w.folder, bits, &out);
  };
  auto stored = [](StreamWriter& w, uint32_t r0, const Bytes& data) {
    w.bits(lzx::kBlockUncompressed, 3);
    w.bits(0, 16);
    w.bits(static_cast<uint32_t>(data.size()), 8);
    if (w.aligned()) w.bits(0, 16);
    else w.align();
    for (uint32_t r : {r0, 1u, 1u})
      for (int i = 0; i < 4; ++i) w.byte(static_cast<uint8_t>(r >> (8 * i)));
    for (uint8_t b : data) w.byte(b);
    if (data.size() & 1) w.byte(0);
  };
  auto verbatimHeader = [&](StreamWriter& w, uint32_t length, uint8_t* prev) {
    w.bits(lzx::kBlockVerbatim, 3);
    w.bits(length >> 8, 16);
    w.bits(length & 0xFF, 8);
    writeLiteralTrees(w, prev, mainCount);
  };
  for (unsigned type : {0u, 4u, 5u, 7u}) {
    StreamWriter w;
    w.bits(0, 1);
    w.bits(type, 3);
    w.bits(0, 16);
    w.bits(100, 8);
    EXPECT_TRUE(refused(w, 100)) << "block type " << type;
  }
  {
    StreamWriter w;  // a block of no bytes
    w.bits(0, 1);
    uint8_t prev[lzx::kMaxMainSymbols] = {};
    verbatimHeader(w, 0, prev);
    EXPECT_TRUE(refused(w, 10));
  }
  {
    StreamWriter w;  // a pre-tree of twenty one-bit codes
    w.bits(0, 1);
    w.bits(lzx::kBlockVerbatim, 3);
    w.bits(0, 16);
    w.bits(10, 8);
    for (int i = 0; i < 20; ++i) w.bits(1, 4);
    for (int i = 0; i < 300; ++i) w.bits(0, 1);
    EXPECT_TRUE(refused(w, 10));
  }
  {
    StreamWriter w;  // a repeated offset of zero from a stored block
    w.bits(0, 1);
    stored(w, 0, Bytes{1, 2, 3});
    uint8_t prev[lzx::kMaxMainSymbols] = {};
    verbatimHeader(w, 7, prev);
    w.bits(0x1FF, 9);
    for (int i = 0; i < 5; ++i) literal(w, 9);
    EXPECT_TRUE(refused(w, 10));
  }
  {
    StreamWriter w;  // a repeated offset reaching before the folder's start
    w.bits(0, 1);
    stored(w, 100, Bytes{1, 2, 3, 4, 5});
    uint8_t prev[lzx::kMaxMainSymbols] = {};
    verbatimHeader(w, 5, prev);
    w.bits(0x1FF, 9);
    for (int i = 0; i < 3; ++i) literal(w, 9);
    EXPECT_TRUE(refused(w, 10));
  }
  {
    StreamWriter w;  // a match running past the frame's end
    w.bits(0, 1);
    uint8_t prev[lzx::kMaxMainSymbols] = {};
    verbatimHeader(w, kBlockMax + 100, prev);
    for (size_t i = 0; i + 1 < kBlockMax; ++i) literal(w, static_cast<uint8_t>(i));
    w.bits(0x1FF, 9);
    EXPECT_TRUE(refused(w, kBlockMax));
  }
  {
    StreamWriter w;  // a block that ends before its frame and nothing after
    w.bits(0, 1);
    uint8_t prev[lzx::kMaxMainSymbols] = {};
    verbatimHeader(w, 50, prev);
    for (int i = 0; i < 50; ++i) literal(w, 3);
    EXPECT_TRUE(refused(w, 60));
  }
  {
    StreamWriter w;  // the same, well formed, is taken: the cases above fail for their fault
    w.bits(0, 1);
    uint8_t prev[lzx::kMaxMainSymbols] = {};
    verbatimHeader(w, 60, prev);
    for (int i = 0; i < 60; ++i) literal(w, 3);
    EXPECT_FALSE(refused(w, 60));
  }
}
