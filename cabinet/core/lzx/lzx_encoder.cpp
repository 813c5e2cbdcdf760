// The LZX encoder. One window runs through the whole folder: every frame is
// appended to it, matches are found by hash chains over the last 2^bits
// bytes (reaching back across frames), and each frame becomes one block,
// verbatim, aligned-offset or uncompressed, whichever is smallest, whose
// bits end on a 16-bit boundary at the frame's end.
#include <cstring>
#include <new>

#include "cabinet/core/codec.h"
#include "cabinet/core/lzx/lzx_format.h"
#include "cabinet/core/lzx/lzx_huffman.h"

namespace tw::cab {
namespace {

using namespace lzx;

// The call translation's range: calls to targets in the folder's first
// 64 MB become absolute, so that calls to one function repeat as equal
// bytes. A larger range helps later calls but also rewrites more of the
// data that merely follows an E8 byte (pointers, constants), and measured
// worse on program files.
constexpr int32_t kTranslationSize = 0x04000000;

// Chains link positions with equal four-byte heads, one head per four
// window bytes (2^19 for a 2 MB window: with fewer, unrelated chains share
// heads and the walks grow); a direct table keeps the last position of each
// three-byte head for the short matches.
constexpr unsigned hashBits(unsigned windowBits) { return windowBits - 2; }
constexpr unsigned kHash3Bits = 15;
constexpr size_t kScratchBytes = 2 * kFrameSize + 4096;

// Search effort: chain candidates tried per position, the length after
// which only a quarter of the rest is tried, and the length at which a
// match is taken without looking further.
constexpr unsigned kMaxChain = 48;
// Candidates tried at the next position when a match is already in hand.
constexpr unsigned kLazyChain = 24;
constexpr unsigned kGoodLength = 32;
constexpr unsigned kNiceLength = 128;
// A match this long is taken without trying the next position.
constexpr unsigned kLazyLength = 48;
// Three-byte matches farther than this cost more than their literals.
constexpr uint32_t kMaxDistance3 = 16384;

class BitWriter {
 public:
  BitWriter(uint8_t* out, size_t capacity) : out_(out), capacity_(capacity) {}
  void bits(uint32_t value, unsigned n) {
    acc_ = (acc_ << n) | value;
    count_ += n;
    while (count_ >= 16) {
      count_ -= 16;
      word(static_cast<uint16_t>(acc_ >> count_));
    }
  }
  // Pads with zeros to the next 16-bit boundary (nothing when aligned).
  void align() {
    if (count_ > 0) bits(0, 16 - count_);
  }
  bool aligned() const { return count_ == 0; }
  void byte(uint8_t b) {
    if (pos_ < capacity_) out_[pos_] = b;
    ++pos_;
  }
  void bytes(const uint8_t* p, size_t n) {
    if (pos_ + n <= capacity_) memcpy(out_ + pos_, p, n);
    pos_ += n;
  }
  size_t size() const { return pos_; }
  bool overflow() const { return pos_ > capacity_; }

 private:
  void word(uint16_t w) {
    byte(static_cast<uint8_t>(w));
    byte(static_cast<uint8_t>(w >> 8));
  }
  uint8_t* out_;
  size_t capacity_;
  size_t pos_ = 0;
  uint64_t acc_ = 0;
  unsigned count_ = 0;
};

// One step of the parse: a literal (length 0) or a match with its
// formatted offset (0..2 the repeated offsets, n + 2 the distance n).
struct Item {
  uint32_t value;
  uint16_t length;
};

// A pre-tree symbol with its extra bits.
struct Token {
  uint8_t symbol;
  uint8_t extraBits;
  uint8_t extra;
};

struct Candidate {
  uint32_t length = 0;
  uint32_t distance = 0;
  uint32_t formatted = 0;  // 0..2 for a repeated offset, else distance + 2
  int32_t profit = 0;      // bits saved against literals, estimated
};

class LzxEncoder final : public BlockEncoder {
 public:
  LzxEncoder(const CodecMemory& memory, unsigned windowBits, uint8_t* area)
      : memory_(memory), windowSize_(1u << windowBits), hashBits_(hashBits(windowBits)) {
    mainSymbols_ = kNumChars + 8 * slotCount(windowBits);
    capacity_ = 2 * windowSize_;
    buffer_ = area;
    area += capacity_;
    prev_ = reinterpret_cast<uint32_t*>(area);
    area += sizeof(uint32_t) * windowSize_;
    head_ = reinterpret_cast<uint32_t*>(area);
    area += sizeof(uint32_t) << hashBits_;
    head3_ = reinterpret_cast<uint32_t*>(area);
    area += sizeof(uint32_t) << kHash3Bits;
    items_ = reinterpret_cast<Item*>(area);
    area += sizeof(Item) * kFrameSize;
    scratch_ = area;
    reset();
  }

  static size_t areaBytes(unsigned windowBits) {
    size_t w = static_cast<size_t>(1) << windowBits;
    return 2 * w + sizeof(uint32_t) * w + (sizeof(uint32_t) << hashBits(windowBits)) +
           (sizeof(uint32_t) << kHash3Bits) +
           sizeof(Item) * kFrameSize +
           kScratchBytes;
  }

  void reset() override {
    memset(head_, 0, sizeof(uint32_t) << hashBits_);
    memset(head3_, 0, sizeof(uint32_t) << kHash3Bits);
    base_ = 0;
    fill_ = 0;
    inserted_ = 0;
    r_[0] = r_[1] = r_[2] = 1;
    memset(mainLengths_, 0, sizeof mainLengths_);
    memset(lengthLengths_, 0, sizeof lengthLengths_);
    headerWritten_ = false;
    frame_ = 0;
    shortSeen_ = false;
    updateCosts();
  }

  void destroy() override {
    CodecMemory memory = memory_;
    void* block = this;
    this->~LzxEncoder();
    memory.release(memory.context, block);
  }

  size_t encode(const uint8_t* in, size_t size, uint8_t* out, bool lastInFolder) override {
    (void)lastInFolder;
    if (in == nullptr || out == nullptr || size == 0 || size > kFrameSize || shortSeen_) return 0;
    shortSeen_ = size < kFrameSize;
    if (fill_ + size > capacity_) slide();
    uint8_t* frame = buffer_ + fill_;
    memcpy(frame, in, size);
    const uint32_t start = base_ + fill_;
    if (frame_ <= kE8LastFrame) e8Translate(frame, size, start, kTranslationSize, true);
    fill_ += static_cast<uint32_t>(size);

    uint32_t savedR[3] = {r_[0], r_[1], r_[2]};
    size_t count = parse(start, static_cast<uint32_t>(size));
    size_t n = writeCompressed(count, static_cast<uint32_t>(size));
    if (n != 0 && n <= uncompressedBytes(static_cast<uint32_t>(size)) && n <= kCompressedBlockMax) {
      memcpy(out, scratch_, n);
      memcpy(mainLengths_, pendingMain_, mainSymbols_);
      memcpy(lengthLengths_, pendingLength_, kLengthSymbols);
      headerWritten_ = true;
      updateCosts();
    } else {
      r_[0] = savedR[0];
      r_[1] = savedR[1];
      r_[2] = savedR[2];
      n = writeUncompressed(frame, static_cast<uint32_t>(size), out);
    }
    headerWritten_ = true;
    ++frame_;
    return n;
  }

 private:
  void slide() {
    uint32_t shift = fill_ - windowSize_;
    memmove(buffer_, buffer_ + shift, windowSize_);
    base_ += shift;
    fill_ = windowSize_;
  }

  static uint32_t load32(const uint8_t* p) {
    uint32_t v;
    memcpy(&v, p, 4);
    return v;
  }
  uint32_t hash4(const uint8_t* p) const { return (load32(p) * 2654435761u) >> (32 - hashBits_); }
  static uint32_t hash3(const uint8_t* p) { return ((load32(p) << 8) * 2654435761u) >> (32 - kHash3Bits); }

  // Enters every position before end (absolute) that has four bytes.
  void insertUpTo(uint32_t end) {
    if (base_ + fill_ < 4) return;
    const uint32_t limit = base_ + fill_ - 3;
    if (end > limit) end = limit;
    const uint32_t mask = windowSize_ - 1;
    for (uint32_t p = inserted_; p < end; ++p) {
      const uint8_t* at = buffer_ + (p - base_);
      uint32_t h = hash4(at);
      prev_[p & mask] = head_[h];
      head_[h] = p + 1;
      head3_[hash3(at)] = p + 1;
    }
    if (end > inserted_) inserted_ = end;
  }

  uint32_t matchLength(const uint8_t* a, const uint8_t* b, uint32_t max) const {
    uint32_t len = 0;
    while (len + 8 <= max) {
      uint64_t x, y;
      memcpy(&x, a + len, 8);
      memcpy(&y, b + len, 8);
      if (x != y) return len + (static_cast<uint32_t>(__builtin_ctzll(x ^ y)) >> 3);
      len += 8;
    }
    while (len < max && a[len] == b[len]) ++len;
    return len;
  }

  int32_t matchCost(uint32_t formatted, uint32_t length) const {
    unsigned slot = slotOf(formatted);
    unsigned header = length - kMinMatch < 7 ? length - kMinMatch : 7;
    int32_t cost = mainCost_[kNumChars + slot * 8 + header] + static_cast<int32_t>(slotExtra(slot));
    if (header == 7) cost += lengthCost_[length - kMinMatch - 7];
    return cost;
  }

  // What the bytes [p, p + length) would cost as literals.
  int32_t literalBits(uint32_t p, uint32_t length) const {
    const uint32_t i = p - frameStart_;
    return static_cast<int32_t>(literalSum_[i + length] - literalSum_[i]);
  }

  // The most profitable match at p (absolute), none longer than max.
  Candidate best(uint32_t p, uint32_t max, unsigned chain) {
    Candidate c;
    if (max < kMinMatch) return c;
    const uint8_t* here = buffer_ + (p - base_);
    const uint32_t maxDistance = windowSize_ - 3;
    for (unsigned i = 0; i < 3; ++i) {
      uint32_t d = r_[i];
      if (d > p || d > maxDistance) continue;
      uint32_t len = matchLength(here, here - d, max);
      if (len < kMinMatch) continue;
      int32_t profit = literalBits(p, len) - matchCost(i, len);
      if (profit > c.profit) c = Candidate{len, d, i, profit};
    }
    if (max < 4 || c.length >= max) return c;
    insertUpTo(p);
    uint32_t longest = c.length < 2 ? 2 : c.length;
    if (longest < 3) {
      uint32_t q3 = head3_[hash3(here)];
      if (q3 != 0 && p - (q3 - 1) <= kMaxDistance3) {
        uint32_t d = p - (q3 - 1);
        const uint8_t* there = here - d;
        if (there[0] == here[0] && there[1] == here[1] && there[2] == here[2]) {
          uint32_t len = matchLength(here, there, max);
          int32_t profit = literalBits(p, len) - matchCost(d + 2, len);
          if (profit > c.profit) c = Candidate{len, d, d + 2, profit};
          longest = len;
        }
      }
    }
    if (longest >= max) {
      insertUpTo(p + 1);
      return c;
    }
    uint32_t cur = head_[hash4(here)];
    unsigned depth = longest >= kGoodLength ? chain / 4 : chain;
    const uint32_t mask = windowSize_ - 1;
    while (cur != 0 && depth-- > 0) {
      uint32_t q = cur - 1;
      uint32_t d = p - q;
      if (d > maxDistance) break;
      const uint8_t* there = here - d;
      if (there[longest] == here[longest] && there[0] == here[0]) {
        uint32_t len = matchLength(here, there, max);
        if (len > longest) {
          longest = len;
          int32_t profit = literalBits(p, len) - matchCost(d + 2, len);
          if (profit > c.profit) c = Candidate{len, d, d + 2, profit};
          if (len >= kNiceLength || len >= max) break;
          if (len >= kGoodLength) depth >>= 2;
        }
      }
      uint32_t next = prev_[q & mask];
      if (next >= cur) break;
      cur = next;
    }
    insertUpTo(p + 1);
    return c;
  }

  void take(const Candidate& c, Item* item) {
    uint32_t formatted = c.formatted;
    if (formatted >= 3) {
      // A new distance that equals a repeated one goes out as the repeat.
      if (c.distance == r_[0]) formatted = 0;
      else if (c.distance == r_[1]) formatted = 1;
      else if (c.distance == r_[2]) formatted = 2;
    }
    if (formatted == 1) {
      uint32_t t = r_[0];
      r_[0] = r_[1];
      r_[1] = t;
    } else if (formatted == 2) {
      uint32_t t = r_[0];
      r_[0] = r_[2];
      r_[2] = t;
    } else if (formatted >= 3) {
      r_[2] = r_[1];
      r_[1] = r_[0];
      r_[0] = c.distance;
    }
    item->value = formatted;
    item->length = static_cast<uint16_t>(c.length);
  }

  // Lazy parse of one frame: a match is deferred by a literal whenever the
  // next position offers a more profitable one.
  size_t parse(uint32_t start, uint32_t size) {
    const uint32_t end = start + size;
    frameStart_ = start;
    const uint8_t* frame = buffer_ + (start - base_);
    literalSum_[0] = 0;
    for (uint32_t i = 0; i < size; ++i) literalSum_[i + 1] = literalSum_[i] + static_cast<uint32_t>(mainCost_[frame[i]]);
    size_t n = 0;
    uint32_t p = start;
    Candidate cur = best(p, end - p < kMaxMatch ? end - p : kMaxMatch, kMaxChain);
    while (p < end) {
      if (cur.length != 0 && cur.length < kLazyLength && p + 1 < end) {
        uint32_t max = end - p - 1 < kMaxMatch ? end - p - 1 : kMaxMatch;
        Candidate next = best(p + 1, max, kLazyChain);
        if (next.profit > cur.profit) {
          items_[n++] = Item{buffer_[p - base_], 0};
          ++p;
          cur = next;
          continue;
        }
      }
      if (cur.length == 0) {
        items_[n++] = Item{buffer_[p - base_], 0};
        ++p;
      } else {
        take(cur, &items_[n++]);
        p += cur.length;
      }
      if (p < end) cur = best(p, end - p < kMaxMatch ? end - p : kMaxMatch, kMaxChain);
    }
    insertUpTo(end);
    return n;
  }

  // Pre-tree tokens for lengths[first, last) against the previous block's.
  static unsigned treeTokens(const uint8_t* lengths, const uint8_t* previous, unsigned first, unsigned last,
                             Token* tokens) {
    unsigned n = 0;
    unsigned i = first;
    while (i < last) {
      unsigned run = 1;
      while (i + run < last && lengths[i + run] == lengths[i]) ++run;
      if (lengths[i] == 0 && run >= 20) {
        unsigned take = run < 51 ? run : 51;
        tokens[n++] = Token{18, 5, static_cast<uint8_t>(take - 20)};
        i += take;
      } else if (lengths[i] == 0 && run >= 4) {
        unsigned take = run < 19 ? run : 19;
        tokens[n++] = Token{17, 4, static_cast<uint8_t>(take - 4)};
        i += take;
      } else if (run >= 4) {
        unsigned take = run < 5 ? run : 5;
        tokens[n++] = Token{19, 1, static_cast<uint8_t>(take - 4)};
        tokens[n++] = Token{static_cast<uint8_t>((previous[i] + 17 - lengths[i]) % 17), 0, 0};
        i += take;
      } else {
        tokens[n++] = Token{static_cast<uint8_t>((previous[i] + 17 - lengths[i]) % 17), 0, 0};
        ++i;
      }
    }
    return n;
  }

  static void writeTree(BitWriter& w, const uint8_t* lengths, const uint8_t* previous, unsigned first,
                        unsigned last) {
    Token tokens[kMaxMainSymbols * 2];
    unsigned n = treeTokens(lengths, previous, first, last, tokens);
    uint32_t freq[kPreTreeSymbols] = {};
    for (unsigned i = 0; i < n; ++i) ++freq[tokens[i].symbol];
    uint8_t preLengths[kPreTreeSymbols];
    uint16_t preCodes[kPreTreeSymbols];
    buildLengths(freq, kPreTreeSymbols, 15, preLengths);
    buildCodes(preLengths, kPreTreeSymbols, preCodes);
    for (unsigned i = 0; i < kPreTreeSymbols; ++i) w.bits(preLengths[i], 4);
    for (unsigned i = 0; i < n; ++i) {
      w.bits(preCodes[tokens[i].symbol], preLengths[tokens[i].symbol]);
      if (tokens[i].extraBits) w.bits(tokens[i].extra, tokens[i].extraBits);
    }
  }

  void writeStreamHeader(BitWriter& w) {
    if (headerWritten_) return;
    w.bits(1, 1);
    w.bits(static_cast<uint32_t>(kTranslationSize) >> 16, 16);
    w.bits(static_cast<uint32_t>(kTranslationSize) & 0xFFFF, 16);
  }

  // The frame as one verbatim or aligned block into scratch_; its size, or
  // 0 when it does not fit.
  size_t writeCompressed(size_t count, uint32_t size) {
    uint32_t mainFreq[kMaxMainSymbols] = {};
    uint32_t lengthFreq[kLengthSymbols] = {};
    uint32_t alignedFreq[kAlignedSymbols] = {};
    uint32_t alignedUses = 0;
    for (size_t i = 0; i < count; ++i) {
      const Item& it = items_[i];
      if (it.length == 0) {
        ++mainFreq[it.value];
        continue;
      }
      unsigned slot = slotOf(it.value);
      unsigned header = it.length - kMinMatch < 7 ? it.length - kMinMatch : 7;
      ++mainFreq[kNumChars + slot * 8 + header];
      if (header == 7) ++lengthFreq[it.length - kMinMatch - 7];
      if (slotExtra(slot) >= 3) {
        ++alignedFreq[(it.value - slotBase(slot)) & 7];
        ++alignedUses;
      }
    }
    uint8_t mainLengths[kMaxMainSymbols];
    uint8_t lengthLengths[kLengthSymbols];
    uint8_t alignedLengths[kAlignedSymbols];
    uint16_t mainCodes[kMaxMainSymbols], lengthCodes[kLengthSymbols], alignedCodes[kAlignedSymbols];
    buildLengths(mainFreq, mainSymbols_, kMaxCodeLength, mainLengths);
    // A block without long matches still sends a length tree that is a
    // complete code: some decoders refuse an empty one.
    bool anyLong = false;
    for (unsigned i = 0; i < kLengthSymbols && !anyLong; ++i) anyLong = lengthFreq[i] != 0;
    if (!anyLong) lengthFreq[0] = 1;
    buildLengths(lengthFreq, kLengthSymbols, kMaxCodeLength, lengthLengths);
    buildLengths(alignedFreq, kAlignedSymbols, 7, alignedLengths);
    buildCodes(mainLengths, mainSymbols_, mainCodes);
    buildCodes(lengthLengths, kLengthSymbols, lengthCodes);
    buildCodes(alignedLengths, kAlignedSymbols, alignedCodes);
    uint64_t alignedBits = 24;
    for (unsigned i = 0; i < kAlignedSymbols; ++i) alignedBits += static_cast<uint64_t>(alignedFreq[i]) * alignedLengths[i];
    const bool aligned = alignedUses > 0 && alignedBits < 3ull * alignedUses;

    BitWriter w(scratch_, kScratchBytes);
    writeStreamHeader(w);
    w.bits(aligned ? kBlockAligned : kBlockVerbatim, 3);
    w.bits(size >> 8, 16);
    w.bits(size & 0xFF, 8);
    if (aligned)
      for (unsigned i = 0; i < kAlignedSymbols; ++i) w.bits(alignedLengths[i], 3);
    writeTree(w, mainLengths, mainLengths_, 0, kNumChars);
    writeTree(w, mainLengths, mainLengths_, kNumChars, mainSymbols_);
    writeTree(w, lengthLengths, lengthLengths_, 0, kLengthSymbols);
    for (size_t i = 0; i < count; ++i) {
      const Item& it = items_[i];
      if (it.length == 0) {
        w.bits(mainCodes[it.value], mainLengths[it.value]);
        continue;
      }
      unsigned slot = slotOf(it.value);
      unsigned header = it.length - kMinMatch < 7 ? it.length - kMinMatch : 7;
      unsigned sym = kNumChars + slot * 8 + header;
      w.bits(mainCodes[sym], mainLengths[sym]);
      if (header == 7) {
        unsigned l = it.length - kMinMatch - 7;
        w.bits(lengthCodes[l], lengthLengths[l]);
      }
      unsigned extra = slotExtra(slot);
      if (extra == 0) continue;
      uint32_t value = it.value - slotBase(slot);
      if (aligned && extra >= 3) {
        if (extra > 3) w.bits(value >> 3, extra - 3);
        w.bits(alignedCodes[value & 7], alignedLengths[value & 7]);
      } else {
        w.bits(value, extra);
      }
    }
    w.align();
    if (w.overflow()) return 0;
    memcpy(pendingMain_, mainLengths, mainSymbols_);
    memcpy(pendingLength_, lengthLengths, kLengthSymbols);
    return w.size();
  }

  // The payload of the frame as an uncompressed block.
  size_t uncompressedBytes(uint32_t size) const {
    unsigned headerBits = (headerWritten_ ? 0 : 33) + 27;
    return (headerBits / 16 + 1) * 2 + 12 + size + (size & 1);
  }

  // The frame as one uncompressed block, straight into out.
  size_t writeUncompressed(const uint8_t* frame, uint32_t size, uint8_t* out) {
    BitWriter w(out, kCompressedBlockMax);
    writeStreamHeader(w);
    w.bits(kBlockUncompressed, 3);
    w.bits(size >> 8, 16);
    w.bits(size & 0xFF, 8);
    // One to sixteen bits of padding up to the byte data.
    if (w.aligned()) w.bits(0, 16);
    else w.align();
    for (unsigned i = 0; i < 3; ++i) {
      w.byte(static_cast<uint8_t>(r_[i]));
      w.byte(static_cast<uint8_t>(r_[i] >> 8));
      w.byte(static_cast<uint8_t>(r_[i] >> 16));
      w.byte(static_cast<uint8_t>(r_[i] >> 24));
    }
    w.bytes(frame, size);
    if (size & 1) w.byte(0);
    return w.overflow() ? 0 : w.size();
  }

  // Bit costs of the symbols as the last block coded them; symbols it did
  // not use are priced as rare.
  void updateCosts() {
    for (unsigned i = 0; i < mainSymbols_; ++i) mainCost_[i] = mainLengths_[i] ? mainLengths_[i] : 12;
    for (unsigned i = 0; i < kLengthSymbols; ++i) lengthCost_[i] = lengthLengths_[i] ? lengthLengths_[i] : 10;
    if (!headerWritten_) {
      for (unsigned i = 0; i < mainSymbols_; ++i) mainCost_[i] = i < kNumChars ? 8 : 7;
      for (unsigned i = 0; i < kLengthSymbols; ++i) lengthCost_[i] = 6;
    }
  }

  CodecMemory memory_;
  uint32_t windowSize_;
  unsigned hashBits_;
  unsigned mainSymbols_;
  uint32_t capacity_;
  uint8_t* buffer_;
  uint32_t* prev_;
  uint32_t* head_;
  uint32_t* head3_;
  Item* items_;
  uint8_t* scratch_;
  uint32_t base_ = 0;      // folder position of buffer_[0]
  uint32_t fill_ = 0;      // bytes in buffer_
  uint32_t inserted_ = 0;  // positions before this one are in the chains
  uint32_t r_[3];
  bool headerWritten_ = false;
  bool shortSeen_ = false;
  uint32_t frame_ = 0;
  uint8_t mainLengths_[kMaxMainSymbols];
  uint8_t lengthLengths_[kLengthSymbols];
  uint8_t pendingMain_[kMaxMainSymbols];
  uint8_t pendingLength_[kLengthSymbols];
  int32_t mainCost_[kMaxMainSymbols];
  int32_t lengthCost_[kLengthSymbols];
  uint32_t frameStart_ = 0;
  uint32_t literalSum_[kFrameSize + 1];  // literal bits of the frame's first i bytes
};

}  // namespace

BlockEncoder* createLzxEncoder(const CodecMemory& memory, unsigned windowBits) {
  if (windowBits < kLzxWindowBitsMin || windowBits > kLzxWindowBitsMax || memory.alloc == nullptr ||
      memory.release == nullptr)
    return nullptr;
  size_t objectBytes = (sizeof(LzxEncoder) + 15) & ~static_cast<size_t>(15);
  void* block = memory.alloc(memory.context, objectBytes + LzxEncoder::areaBytes(windowBits));
  if (block == nullptr) return nullptr;
  uint8_t* area = static_cast<uint8_t*>(block) + objectBytes;
  return new (block) LzxEncoder(memory, windowBits, area);
}

}  // namespace tw::cab
