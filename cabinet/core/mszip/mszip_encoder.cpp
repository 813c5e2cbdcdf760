// MSZIP compression: each block becomes "CK" and one complete deflate stream
// whose matches may reach into the folder's previous 32 KB.
//
// Matches come from hash chains over a 64 KB window (the previous block and
// the current one) with lazy evaluation: a match is taken only when the
// next position does not start a longer one. The block's tokens then go out
// as one deflate block or as several (halves, quarters, eighths) where the
// statistics change enough to pay for new codes, each dynamic, fixed or
// stored, whichever is smallest; when all that is no smaller than one stored
// block, one stored block it is, so a payload never exceeds block + 7 bytes.
#include <cstdint>
#include <cstring>
#include <new>

#include "cabinet/core/codec.h"
#include "cabinet/core/mszip/deflate_format.h"
#include "cabinet/core/mszip/huffman_lengths.h"

namespace tw::cab {
namespace {

using namespace mszip;

// Match lengths come from the lowest differing byte of a word.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "little-endian targets only");

// Search effort: a chain walk stops after kMaxChain candidates (a quarter
// when the previous match is already kGoodLength long), at a match of
// kNiceLength, and no search follows a match of kMaxLazy or more.
constexpr unsigned kMaxChain = 128;
constexpr unsigned kGoodLength = 8;
constexpr unsigned kNiceLength = 128;
constexpr unsigned kMaxLazy = 16;
// A 3-byte match this far back costs more bits than three literals.
constexpr unsigned kTooFar = 4096;

constexpr unsigned kHashBits = 15;
constexpr size_t kWindowStart = kHistory;  // the current block's first byte
constexpr size_t kWindowSize = kHistory + kBlockMax;
// Matches are compared 8 bytes at a time and may read up to 7 bytes beyond
// the block.
constexpr size_t kWindowSlack = 8;

// Tokens: a literal is its byte; a match is (length << 16) | distance.
constexpr uint32_t kLengthShift = 16;

inline uint32_t load32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}
inline uint64_t load64(const uint8_t* p) {
  uint64_t v;
  std::memcpy(&v, p, 8);
  return v;
}

// Deflate's bits, least significant first, into a buffer known to be large
// enough (the caller has measured the block before writing it).
struct BitWriter {
  uint8_t* next;
  uint64_t bits;
  unsigned count;

  void put(unsigned value, unsigned n) {
    bits |= uint64_t{value} << count;
    count += n;
    if (count >= 32) {
      const uint32_t word = static_cast<uint32_t>(bits);
      next[0] = static_cast<uint8_t>(word);
      next[1] = static_cast<uint8_t>(word >> 8);
      next[2] = static_cast<uint8_t>(word >> 16);
      next[3] = static_cast<uint8_t>(word >> 24);
      next += 4;
      bits >>= 32;
      count -= 32;
    }
  }
  // Pads to a whole byte and writes what is left.
  void flush() {
    while (count > 0) {
      *next++ = static_cast<uint8_t>(bits);
      bits >>= 8;
      count = count > 8 ? count - 8 : 0;
    }
  }
};

class MsZipEncoder final : public BlockEncoder {
 public:
  explicit MsZipEncoder(const CodecMemory& memory) : memory_(memory) {
    for (unsigned s = 0; s < 29; ++s) {
      // Symbol 27 could also say 258; symbol 28, coming later, takes it.
      const unsigned last = s == 28 ? 258 : kLengthBase[s] + (1u << kLengthExtra[s]) - 1;
      for (unsigned length = kLengthBase[s]; length <= last; ++length)
        lengthSymbol_[length - kMinMatch] = static_cast<uint8_t>(s);
    }
    for (unsigned s = 0; s < kDistCodes; ++s) {
      const unsigned first = kDistBase[s] - 1;
      const unsigned last = first + (1u << kDistExtra[s]) - 1;
      for (unsigned d = first; d <= last; ++d) {
        if (d < 256)
          distSymbol_[d] = static_cast<uint8_t>(s);
        else
          distSymbol_[256 + (d >> 7)] = static_cast<uint8_t>(s);
      }
    }
    for (unsigned s = 0; s < kFixedLitLenCodes; ++s)
      fixed_.litLenBits[s] = static_cast<uint8_t>(fixedLitLenBits(s));
    for (unsigned s = 0; s < kFixedDistCodes; ++s) fixed_.distBits[s] = kFixedDistBits;
    buildCodes(fixed_.litLenBits, kFixedLitLenCodes, fixed_.litLen);
    buildCodes(fixed_.distBits, kFixedDistCodes, fixed_.dist);
    std::memset(window_, 0, sizeof window_);
    reset();
  }

  size_t encode(const uint8_t* in, size_t size, uint8_t* out, bool lastInFolder) override {
    if (in == nullptr || out == nullptr || size == 0 || size > kBlockMax) return 0;
    std::memcpy(window_ + kWindowStart, in, size);
    const size_t end = kWindowStart + size;
    // The last two bytes of the previous block start 3-byte strings now.
    for (; insertedTo_ < kWindowStart; ++insertedTo_)
      if (insertedTo_ + kMinMatch <= end) insert(insertedTo_);
    findMatches(end);
    const size_t written = writeBlock(in, size, out);
    slide(size);
    return written;
  }

  void reset() override {
    std::memset(head_, 0, sizeof head_);
    insertedTo_ = kWindowStart;
  }

  void destroy() override {
    const CodecMemory memory = memory_;
    this->~MsZipEncoder();
    memory.release(memory.context, this);
  }

 private:
  static unsigned hash(const uint8_t* p) {
    return ((load32(p) & 0xFFFFFF) * 0x9E3779B1u) >> (32 - kHashBits);
  }

  // Enters position p in its chain and returns the chain's previous head.
  unsigned insert(size_t p) {
    const unsigned h = hash(window_ + p);
    const unsigned previous = head_[h];
    prev_[p] = static_cast<uint16_t>(previous);
    head_[h] = static_cast<uint16_t>(p);
    return previous;
  }

  // Compares a machine word at a time; on a 32-bit target a 64-bit word
  // would cost a library call for every mismatch.
  static unsigned matchLength(const uint8_t* a, const uint8_t* b, unsigned limit) {
    unsigned n = 0;
    while (n < limit) {
#if UINTPTR_MAX > 0xFFFFFFFFu
      const uint64_t diff = load64(a + n) ^ load64(b + n);
      if (diff != 0) n += static_cast<unsigned>(__builtin_ctzll(diff)) >> 3;
#else
      const uint32_t diff = load32(a + n) ^ load32(b + n);
      if (diff != 0) n += static_cast<unsigned>(__builtin_ctz(diff)) >> 3;
#endif
      if (diff != 0) return n < limit ? n : limit;
      n += sizeof(uintptr_t);
    }
    return limit;
  }

  // The longest match at pos longer than shorter, from the chain starting at
  // candidate; 0 when there is none.
  unsigned longestMatch(size_t pos, unsigned candidate, unsigned shorter, size_t end,
                        unsigned* distance) const {
    const unsigned limit = end - pos < kMaxMatch ? static_cast<unsigned>(end - pos) : kMaxMatch;
    if (limit <= shorter) return 0;
    const unsigned nice = limit < kNiceLength ? limit : kNiceLength;
    unsigned chain = shorter >= kGoodLength ? kMaxChain / 4 : kMaxChain;
    unsigned best = shorter;
    unsigned found = 0;
    const uint8_t* const here = window_ + pos;
    while (candidate != 0 && candidate + kMaxDistance >= pos) {
      const uint8_t* const there = window_ + candidate;
      // The byte that would make this match longer than the best decides.
      if (there[best] == here[best] && there[0] == here[0]) {
        const unsigned length = matchLength(there, here, limit);
        if (length > best) {
          best = length;
          found = length;
          *distance = static_cast<unsigned>(pos - candidate);
          if (length >= nice) break;
        }
      }
      if (--chain == 0) break;
      candidate = prev_[candidate];
    }
    return found;
  }

  void literal(uint8_t byte) { tokens_[tokenCount_++] = byte; }
  void match(unsigned length, unsigned distance) {
    tokens_[tokenCount_++] = (length << kLengthShift) | distance;
  }
  unsigned distanceSymbol(unsigned distance) const {
    const unsigned d = distance - 1;
    return d < 256 ? distSymbol_[d] : distSymbol_[256 + (d >> 7)];
  }

  void findMatches(size_t end) {
    tokenCount_ = 0;
    size_t pos = kWindowStart;
    unsigned prevLength = 0;
    unsigned prevDistance = 0;
    bool pending = false;  // the byte before pos awaits a decision
    while (pos < end) {
      unsigned candidate = 0;
      if (pos + kMinMatch <= end) {
        candidate = insert(pos);
        insertedTo_ = pos + 1;
      }
      unsigned length = 0;
      unsigned distance = 0;
      if (candidate != 0 && prevLength < kMaxLazy) {
        const unsigned shorter = prevLength > kMinMatch - 1 ? prevLength : kMinMatch - 1;
        length = longestMatch(pos, candidate, shorter, end, &distance);
        if (length == kMinMatch && distance > kTooFar) length = 0;
      }
      if (prevLength >= kMinMatch && length <= prevLength) {
        match(prevLength, prevDistance);
        const size_t stop = pos - 1 + prevLength;
        for (++pos; pos < stop; ++pos) {
          if (pos + kMinMatch <= end) {
            insert(pos);
            insertedTo_ = pos + 1;
          }
        }
        pending = false;
        prevLength = 0;
        continue;
      }
      if (pending) literal(window_[pos - 1]);
      pending = true;
      prevLength = length;
      prevDistance = distance;
      ++pos;
    }
    if (pending) literal(window_[pos - 1]);
  }

  // Moves the last kHistory bytes to the window's first half and the chain
  // positions with them; positions that fall off become the empty mark 0.
  void slide(size_t size) {
    std::memmove(window_, window_ + size, kHistory);
    const unsigned shift = static_cast<unsigned>(size);
    for (unsigned i = 0; i < (1u << kHashBits); ++i)
      head_[i] = static_cast<uint16_t>(head_[i] > shift ? head_[i] - shift : 0);
    for (size_t i = 0; i < kHistory; ++i) {
      const unsigned v = prev_[i + size];
      prev_[i] = static_cast<uint16_t>(v > shift ? v - shift : 0);
    }
    insertedTo_ -= size;
  }

  struct Codes {
    uint8_t litLenBits[kFixedLitLenCodes];
    uint16_t litLen[kFixedLitLenCodes];
    uint8_t distBits[kFixedDistCodes];
    uint16_t dist[kFixedDistCodes];
  };

  // The dynamic header: code lengths of both codes, run-length coded.
  struct DynamicHeader {
    unsigned litLenCount;
    unsigned distCount;
    unsigned codeLenCount;
    uint8_t codeLenBits[kCodeLenCodes];
    uint16_t codeLenCodes[kCodeLenCodes];
    unsigned runs;
    uint8_t runSymbol[kLitLenCodes + kDistCodes];
    uint8_t runExtra[kLitLenCodes + kDistCodes];
    size_t bits;
  };

  // A run of tokens as one deflate block in the cheapest kind.
  struct Plan {
    unsigned first;  // tokens [first, last)
    unsigned last;
    size_t bytes;    // the bytes they stand for
    uint32_t litLenFreq[kLitLenCodes];
    uint32_t distFreq[kDistCodes];
    unsigned type;
    size_t bits;     // with the 3 header bits; stored counts the worst padding
    Codes dynamic;
    DynamicHeader header;
  };

  void planHeader(const Codes& codes, DynamicHeader* header) const {
    unsigned litLenCount = kLitLenCodes;
    while (litLenCount > 257 && codes.litLenBits[litLenCount - 1] == 0) --litLenCount;
    unsigned distCount = kDistCodes;
    while (distCount > 1 && codes.distBits[distCount - 1] == 0) --distCount;
    uint8_t all[kLitLenCodes + kDistCodes];
    std::memcpy(all, codes.litLenBits, litLenCount);
    std::memcpy(all + litLenCount, codes.distBits, distCount);
    const unsigned total = litLenCount + distCount;

    uint32_t freq[kCodeLenCodes] = {};
    unsigned runs = 0;
    auto emit = [&](unsigned symbol, unsigned extra) {
      header->runSymbol[runs] = static_cast<uint8_t>(symbol);
      header->runExtra[runs] = static_cast<uint8_t>(extra);
      ++runs;
      ++freq[symbol];
    };
    for (unsigned i = 0; i < total;) {
      const uint8_t value = all[i];
      unsigned run = 1;
      while (i + run < total && all[i + run] == value) ++run;
      i += run;
      if (value == 0) {
        for (; run >= 11; run -= run < 138 ? run : 138) emit(18, (run < 138 ? run : 138) - 11);
        if (run >= 3) {
          emit(17, run - 3);
          run = 0;
        }
      } else {
        emit(value, 0);
        --run;
        for (; run >= 3; run -= run < 6 ? run : 6) emit(16, (run < 6 ? run : 6) - 3);
      }
      for (; run > 0; --run) emit(value, 0);
    }
    // A one-symbol code would be incomplete; give it a partner.
    unsigned usedSymbols = 0;
    for (unsigned s = 0; s < kCodeLenCodes; ++s) usedSymbols += freq[s] != 0;
    for (unsigned s = 0; usedSymbols < 2; ++s)
      if (freq[s] == 0) {
        freq[s] = 1;
        ++usedSymbols;
      }
    buildCodeLengths(freq, kCodeLenCodes, kMaxCodeLenBits, header->codeLenBits);
    buildCodes(header->codeLenBits, kCodeLenCodes, header->codeLenCodes);
    unsigned codeLenCount = kCodeLenCodes;
    while (codeLenCount > 4 && header->codeLenBits[kCodeLenOrder[codeLenCount - 1]] == 0)
      --codeLenCount;

    size_t bits = 5 + 5 + 4 + 3 * codeLenCount;
    for (unsigned r = 0; r < runs; ++r) {
      const unsigned symbol = header->runSymbol[r];
      bits += header->codeLenBits[symbol] + (symbol == 16 ? 2 : symbol == 17 ? 3 : symbol == 18 ? 7 : 0);
    }
    header->litLenCount = litLenCount;
    header->distCount = distCount;
    header->codeLenCount = codeLenCount;
    header->runs = runs;
    header->bits = bits;
  }

  // Bits of the plan's tokens under the given code lengths.
  static size_t tokenBits(const Plan& p, const uint8_t* litLenBits, const uint8_t* distBits) {
    size_t bits = 0;
    for (unsigned s = 0; s < kLitLenCodes; ++s) {
      const unsigned extra = s > 256 ? kLengthExtra[s - 257] : 0;
      bits += size_t{p.litLenFreq[s]} * (litLenBits[s] + extra);
    }
    for (unsigned s = 0; s < kDistCodes; ++s)
      bits += size_t{p.distFreq[s]} * (distBits[s] + kDistExtra[s]);
    return bits;
  }

  // Counts the symbols of tokens [first, last) and the end of the block.
  void count(unsigned first, unsigned last, Plan* p) const {
    p->first = first;
    p->last = last;
    std::memset(p->litLenFreq, 0, sizeof p->litLenFreq);
    std::memset(p->distFreq, 0, sizeof p->distFreq);
    size_t bytes = 0;
    for (unsigned t = first; t < last; ++t) {
      const uint32_t token = tokens_[t];
      if (token < 256) {
        ++p->litLenFreq[token];
        ++bytes;
        continue;
      }
      const unsigned length = token >> kLengthShift;
      ++p->litLenFreq[257 + lengthSymbol_[length - kMinMatch]];
      ++p->distFreq[distanceSymbol(token & 0xFFFF)];
      bytes += length;
    }
    p->bytes = bytes;
    p->litLenFreq[kEndOfBlock] = 1;
  }

  // The counts of two neighbouring segments as one.
  static void join(const Plan& a, const Plan& b, Plan* p) {
    p->first = a.first;
    p->last = b.last;
    p->bytes = a.bytes + b.bytes;
    for (unsigned s = 0; s < kLitLenCodes; ++s) p->litLenFreq[s] = a.litLenFreq[s] + b.litLenFreq[s];
    for (unsigned s = 0; s < kDistCodes; ++s) p->distFreq[s] = a.distFreq[s] + b.distFreq[s];
    p->litLenFreq[kEndOfBlock] = 1;
  }

  // Builds the counted segment's dynamic code and picks the cheapest kind.
  void choose(Plan* p) const {
    const size_t bytes = p->bytes;
    buildCodeLengths(p->litLenFreq, kLitLenCodes, kMaxCodeBits, p->dynamic.litLenBits);
    // Two distance codes at least, so that every decoder sees a complete
    // code even in a block of literals only.
    uint32_t distFreq[kDistCodes];
    std::memcpy(distFreq, p->distFreq, sizeof distFreq);
    unsigned used = 0;
    for (unsigned s = 0; s < kDistCodes; ++s) used += distFreq[s] != 0;
    for (unsigned s = 0; used < 2; ++s)
      if (distFreq[s] == 0) {
        distFreq[s] = 1;
        ++used;
      }
    buildCodeLengths(distFreq, kDistCodes, kMaxCodeBits, p->dynamic.distBits);
    planHeader(p->dynamic, &p->header);
    const size_t dynamicBits =
        3 + p->header.bits + tokenBits(*p, p->dynamic.litLenBits, p->dynamic.distBits);
    const size_t fixedBits = 3 + tokenBits(*p, fixed_.litLenBits, fixed_.distBits);
    const size_t storedBits = 3 + 7 + 32 + 8 * bytes;
    p->type = kBlockDynamic;
    p->bits = dynamicBits;
    if (fixedBits <= p->bits) {
      p->type = kBlockFixed;
      p->bits = fixedBits;
    }
    if (storedBits <= p->bits) {
      p->type = kBlockStored;
      p->bits = storedBits;
    }
  }

  void writeTokens(BitWriter* w, const Plan& p, const Codes& codes) const {
    for (unsigned t = p.first; t < p.last; ++t) {
      const uint32_t token = tokens_[t];
      if (token < 256) {
        w->put(codes.litLen[token], codes.litLenBits[token]);
        continue;
      }
      const unsigned length = token >> kLengthShift;
      const unsigned distance = token & 0xFFFF;
      const unsigned ls = lengthSymbol_[length - kMinMatch];
      w->put(codes.litLen[257 + ls], codes.litLenBits[257 + ls]);
      w->put(length - kLengthBase[ls], kLengthExtra[ls]);
      const unsigned ds = distanceSymbol(distance);
      w->put(codes.dist[ds], codes.distBits[ds]);
      w->put(distance - kDistBase[ds], kDistExtra[ds]);
    }
    w->put(codes.litLen[kEndOfBlock], codes.litLenBits[kEndOfBlock]);
  }

  // Writes the planned block; in points to its first byte.
  void writePlan(BitWriter* w, Plan* p, const uint8_t* in, bool final) const {
    w->put((final ? 1 : 0) | (p->type << 1), 3);
    if (p->type == kBlockStored) {
      w->flush();
      const size_t n = p->bytes;
      w->next[0] = static_cast<uint8_t>(n);
      w->next[1] = static_cast<uint8_t>(n >> 8);
      w->next[2] = static_cast<uint8_t>(~n);
      w->next[3] = static_cast<uint8_t>(~n >> 8);
      std::memcpy(w->next + 4, in, n);
      w->next += 4 + n;
      return;
    }
    if (p->type == kBlockFixed) {
      writeTokens(w, *p, fixed_);
      return;
    }
    const DynamicHeader& h = p->header;
    buildCodes(p->dynamic.litLenBits, kLitLenCodes, p->dynamic.litLen);
    buildCodes(p->dynamic.distBits, kDistCodes, p->dynamic.dist);
    w->put(h.litLenCount - 257, 5);
    w->put(h.distCount - 1, 5);
    w->put(h.codeLenCount - 4, 4);
    for (unsigned i = 0; i < h.codeLenCount; ++i) w->put(h.codeLenBits[kCodeLenOrder[i]], 3);
    for (unsigned r = 0; r < h.runs; ++r) {
      const unsigned symbol = h.runSymbol[r];
      w->put(h.codeLenCodes[symbol], h.codeLenBits[symbol]);
      if (symbol >= 16) w->put(h.runExtra[r], symbol == 16 ? 2 : symbol == 17 ? 3 : 7);
    }
    writeTokens(w, *p, p->dynamic);
  }

  // The tokens go out as one deflate block, or as two halves or quarters
  // where statistics change within the block enough to pay for more
  // headers: a tree of segments, node 1 all tokens, node n's halves 2n and
  // 2n + 1, each kept whole or split, whichever is smaller.
  static constexpr unsigned kSegmentNodes = 16;
  static constexpr unsigned kMinSplitTokens = 1024;

  size_t writeBlock(const uint8_t* in, size_t size, uint8_t* out) {
    unsigned first[kSegmentNodes];
    unsigned last[kSegmentNodes];
    size_t bits[kSegmentNodes];
    bool split[kSegmentNodes] = {};
    first[1] = 0;
    last[1] = tokenCount_;
    for (unsigned node = 2; node < kSegmentNodes; ++node) {
      const unsigned parent = node / 2;
      const unsigned middle = first[parent] + (last[parent] - first[parent]) / 2;
      first[node] = node % 2 == 0 ? first[parent] : middle;
      last[node] = node % 2 == 0 ? middle : last[parent];
    }
    auto splittable = [&](unsigned node) {
      return node < kSegmentNodes / 2 && last[node] - first[node] >= 2 * kMinSplitTokens;
    };
    for (unsigned node = kSegmentNodes; node-- > 1;) {
      if (node > 1 && !splittable(node / 2)) continue;
      Plan* p = &plans_[node];
      if (splittable(node))
        join(plans_[2 * node], plans_[2 * node + 1], p);
      else
        count(first[node], last[node], p);
      choose(p);
      bits[node] = p->bits;
      if (splittable(node) && bits[2 * node] + bits[2 * node + 1] < bits[node]) {
        split[node] = true;
        bits[node] = bits[2 * node] + bits[2 * node + 1];
      }
    }

    out[0] = kSignature0;
    out[1] = kSignature1;
    BitWriter w{out + kSignatureSize, 0, 0};
    // One stored block is the bound: plans count stored padding at its worst.
    if ((bits[1] + 7) / 8 >= 1 + 4 + size) {
      plans_[1].type = kBlockStored;
      writePlan(&w, &plans_[1], in, true);
      return static_cast<size_t>(w.next - out);
    }
    // Leaves in order: a node is visited when its parent is split.
    unsigned stack[kSegmentNodes];
    unsigned depth = 0;
    stack[depth++] = 1;
    const uint8_t* next = in;
    while (depth > 0) {
      const unsigned node = stack[--depth];
      if (split[node]) {
        stack[depth++] = 2 * node + 1;
        stack[depth++] = 2 * node;
        continue;
      }
      writePlan(&w, &plans_[node], next, last[node] == tokenCount_);
      next += plans_[node].bytes;
    }
    w.flush();
    return static_cast<size_t>(w.next - out);
  }

  CodecMemory memory_;
  size_t insertedTo_ = 0;   // first window position not yet in a chain
  unsigned tokenCount_ = 0;
  uint8_t lengthSymbol_[kMaxMatch - kMinMatch + 1];  // length - 3 -> symbol - 257
  uint8_t distSymbol_[512];
  Codes fixed_;
  Plan plans_[kSegmentNodes];  // node n's halves are 2n and 2n + 1
  uint16_t head_[1u << kHashBits];
  uint16_t prev_[kWindowSize];
  uint32_t tokens_[kBlockMax];
  uint8_t window_[kWindowSize + kWindowSlack];
};

}  // namespace

BlockEncoder* createMsZipEncoder(const CodecMemory& memory) {
  if (memory.alloc == nullptr || memory.release == nullptr) return nullptr;
  void* place = memory.alloc(memory.context, sizeof(MsZipEncoder));
  if (place == nullptr) return nullptr;
  return new (place) MsZipEncoder(memory);
}

}  // namespace tw::cab
