// The LZX decoder: one frame of up to 32 KB per call, the window and the
// block state carried from frame to frame. Every count, offset and length
// read from the payload is checked before it is used; damaged data end the
// call with false and never reach outside the window, the payload or out.
#include <cstring>
#include <new>

#include "cabinet/core/codec.h"
#include "cabinet/core/lzx/lzx_format.h"
#include "cabinet/core/lzx/lzx_huffman.h"

namespace tw::cab {
namespace {

using namespace lzx;

// Bits of one payload, 16-bit little-endian words read most significant
// bit first. Reading past the end yields zeros; whether the bits used stay
// inside the payload is checked at the end of the frame.
class BitReader {
 public:
  void start(const uint8_t* data, size_t size, size_t at) {
    data_ = data;
    size_ = size;
    pos_ = at;
    buffer_ = 0;
    count_ = 0;
  }
  void ensure(unsigned n) {
    while (count_ < n) {
      uint32_t word = 0;
      if (pos_ + 1 < size_) word = data_[pos_] | (static_cast<uint32_t>(data_[pos_ + 1]) << 8);
      else if (pos_ < size_) word = data_[pos_];
      pos_ += 2;
      buffer_ |= static_cast<uint64_t>(word) << (48 - count_);
      count_ += 16;
    }
  }
  uint32_t peek16() {
    ensure(16);
    return static_cast<uint32_t>(buffer_ >> 48);
  }
  void remove(unsigned n) {
    buffer_ <<= n;
    count_ -= n;
  }
  uint32_t read(unsigned n) {
    if (n == 0) return 0;
    ensure(n);
    uint32_t v = static_cast<uint32_t>(buffer_ >> (64 - n));
    remove(n);
    return v;
  }
  // Bits taken from the payload so far.
  uint64_t consumed() const { return static_cast<uint64_t>(pos_) * 8 - count_; }
  bool overrun() const { return consumed() > static_cast<uint64_t>(size_) * 8; }
  // Byte offset after aligning to the next 16-bit boundary as an
  // uncompressed block does: 1 to 16 bits are skipped.
  size_t alignForBytes() const {
    uint64_t c = consumed();
    return static_cast<size_t>(((c / 16) + 1) * 2);
  }
  // Byte offset after aligning to 16 bits at the end of a frame (0-15 bits).
  size_t alignFrameEnd() const {
    uint64_t c = consumed();
    return static_cast<size_t>(((c + 15) / 16) * 2);
  }
  // Gives up early on a stream that has run far past its payload.
  bool hopeless() const { return pos_ > size_ + 64; }

 private:
  const uint8_t* data_ = nullptr;
  size_t size_ = 0;
  size_t pos_ = 0;
  uint64_t buffer_ = 0;
  unsigned count_ = 0;
};

class LzxDecoder final : public BlockDecoder {
 public:
  LzxDecoder(const CodecMemory& memory, unsigned windowBits, uint8_t* window)
      : memory_(memory), window_(window) {
    windowSize_ = 1u << windowBits;
    mainSymbols_ = kNumChars + 8 * slotCount(windowBits);
    reset();
  }

  void reset() override {
    r0_ = r1_ = r2_ = 1;
    memset(mainLengths_, 0, sizeof mainLengths_);
    memset(lengthLengths_, 0, sizeof lengthLengths_);
    headerRead_ = false;
    translationSize_ = 0;
    frame_ = 0;
    total_ = 0;
    blockType_ = 0;
    blockRemaining_ = 0;
    blockLength_ = 0;
    oddPadPending_ = false;
    broken_ = false;
    shortSeen_ = false;
  }

  void destroy() override {
    CodecMemory memory = memory_;
    void* block = this;
    this->~LzxDecoder();
    memory.release(memory.context, block);
  }

  bool decode(const uint8_t* in, size_t inSize, uint8_t* out, size_t outSize) override {
    // Only a folder's last frame may be short: after one, nothing follows.
    if (broken_ || shortSeen_ || outSize == 0 || outSize > kFrameSize || (in == nullptr && inSize != 0))
      return false;
    // A stream is damaged for good once one frame failed: the window no
    // longer matches the encoder's.
    broken_ = true;
    const uint32_t framePos = static_cast<uint32_t>(total_ & (windowSize_ - 1));
    BitReader bits;
    size_t bytePos = 0;  // where an uncompressed block's bytes continue
    bool bitMode = true;
    bits.start(in, inSize, 0);
    if (blockType_ == kBlockUncompressed && blockRemaining_ > 0) {
      bitMode = false;
    } else if (oddPadPending_) {
      // An odd uncompressed block that ended the previous frame: its pad
      // byte either closed that payload or opens this one.
      oddPadPending_ = false;
      if (!padWasInPreviousPayload_) {
        bits.start(in, inSize, 1);
        bytePos = 1;
      }
    }
    if (!headerRead_) {
      if (bits.read(1)) {
        uint32_t high = bits.read(16);
        uint32_t low = bits.read(16);
        translationSize_ = static_cast<int32_t>((high << 16) | low);
      }
      headerRead_ = true;
    }

    uint32_t done = 0;
    while (done < outSize) {
      if (bits.hopeless()) return false;
      if (blockRemaining_ == 0) {
        if (!bitMode) {
          if (blockLength_ & 1) ++bytePos;
          bits.start(in, inSize, bytePos);
          bitMode = true;
        }
        if (!readBlockHeader(bits, in, inSize, &bytePos, &bitMode)) return false;
      }
      uint32_t run = blockRemaining_;
      if (run > outSize - done) run = static_cast<uint32_t>(outSize - done);
      uint8_t* dest = window_ + framePos + done;
      if (blockType_ == kBlockUncompressed) {
        if (bytePos > inSize || inSize - bytePos < run) return false;
        memcpy(dest, in + bytePos, run);
        bytePos += run;
        done += run;
        blockRemaining_ -= run;
        total_ += run;
        continue;
      }
      uint32_t produced = 0;
      if (!decodeRun(bits, framePos + done, run, &produced)) return false;
      done += produced;
      blockRemaining_ -= produced;
    }

    // The frame is complete: its bits end at a 16-bit boundary.
    size_t used;
    if (blockType_ == kBlockUncompressed && bitMode == false) {
      used = bytePos;
      if (blockRemaining_ == 0 && (blockLength_ & 1)) {
        // The pad byte of an odd block ending here, if this payload has it.
        oddPadPending_ = true;
        padWasInPreviousPayload_ = (used + 1 == inSize);
        used += padWasInPreviousPayload_ ? 1 : 0;
        blockType_ = 0;
      }
    } else {
      if (bits.overrun()) return false;
      used = bits.alignFrameEnd();
    }
    if (used > inSize) return false;

    memcpy(out, window_ + framePos, outSize);
    if (translationSize_ != 0 && frame_ <= kE8LastFrame)
      e8Translate(out, outSize, static_cast<uint32_t>(static_cast<uint64_t>(frame_) * kFrameSize),
                  translationSize_, false);
    ++frame_;
    shortSeen_ = outSize < kFrameSize;
    broken_ = false;
    return true;
  }

 private:
  bool readBlockHeader(BitReader& bits, const uint8_t* in, size_t inSize, size_t* bytePos, bool* bitMode) {
    blockType_ = bits.read(3);
    uint32_t high = bits.read(16);
    uint32_t low = bits.read(8);
    blockLength_ = (high << 8) | low;
    blockRemaining_ = blockLength_;
    if (blockLength_ == 0) return false;
    switch (blockType_) {
      case kBlockAligned: {
        uint8_t lengths[kAlignedSymbols];
        for (unsigned i = 0; i < kAlignedSymbols; ++i) lengths[i] = static_cast<uint8_t>(bits.read(3));
        if (!aligned_.build(lengths, kAlignedSymbols)) return false;
      }
        [[fallthrough]];
      case kBlockVerbatim:
        if (!readLengths(bits, mainLengths_, 0, kNumChars)) return false;
        if (!readLengths(bits, mainLengths_, kNumChars, mainSymbols_)) return false;
        if (!main_.build(mainLengths_, mainSymbols_)) return false;
        if (!readLengths(bits, lengthLengths_, 0, kLengthSymbols)) return false;
        if (!length_.build(lengthLengths_, kLengthSymbols)) return false;
        return !bits.hopeless();
      case kBlockUncompressed: {
        size_t at = bits.alignForBytes();
        if (at > inSize || inSize - at < 12) return false;
        const uint8_t* p = in + at;
        uint32_t r[3];
        for (unsigned i = 0; i < 3; ++i)
          r[i] = p[4 * i] | (p[4 * i + 1] << 8) | (p[4 * i + 2] << 16) | (static_cast<uint32_t>(p[4 * i + 3]) << 24);
        r0_ = r[0];
        r1_ = r[1];
        r2_ = r[2];
        *bytePos = at + 12;
        *bitMode = false;
        return true;
      }
      default:
        return false;
    }
  }

  // Code lengths of symbols [first, last) through a pre-tree, each sent as
  // its difference from the same symbol's length in the previous block.
  bool readLengths(BitReader& bits, uint8_t* lengths, unsigned first, unsigned last) {
    uint8_t preLengths[kPreTreeSymbols];
    for (unsigned i = 0; i < kPreTreeSymbols; ++i) preLengths[i] = static_cast<uint8_t>(bits.read(4));
    if (!pre_.build(preLengths, kPreTreeSymbols)) return false;
    unsigned x = first;
    while (x < last) {
      if (bits.hopeless()) return false;
      unsigned sym, len;
      if (!pre_.decode(bits.peek16(), &sym, &len)) return false;
      bits.remove(len);
      if (sym == 17 || sym == 18) {
        unsigned run = sym == 17 ? bits.read(4) + 4 : bits.read(5) + 20;
        while (run-- > 0 && x < last) lengths[x++] = 0;
      } else if (sym == 19) {
        unsigned run = bits.read(1) + 4;
        if (!pre_.decode(bits.peek16(), &sym, &len) || sym > 16) return false;
        bits.remove(len);
        unsigned value = (lengths[x] + 17 - sym) % 17;
        while (run-- > 0 && x < last) lengths[x++] = static_cast<uint8_t>(value);
      } else {
        lengths[x] = static_cast<uint8_t>((lengths[x] + 17 - sym) % 17);
        ++x;
      }
    }
    return true;
  }

  // Decodes up to want bytes of a verbatim or aligned block at window
  // position pos; a match may not run past want (the block's or the
  // frame's end).
  bool decodeRun(BitReader& bits, uint32_t pos, uint32_t want, uint32_t* produced) {
    const bool aligned = blockType_ == kBlockAligned;
    uint32_t done = 0;
    while (done < want) {
      if (bits.hopeless()) return false;
      unsigned sym, len;
      if (!main_.decode(bits.peek16(), &sym, &len)) return false;
      bits.remove(len);
      if (sym < kNumChars) {
        window_[pos + done++] = static_cast<uint8_t>(sym);
        ++total_;
        continue;
      }
      sym -= kNumChars;
      uint32_t matchLength = sym & 7;
      if (matchLength == kNumPrimaryLengths) {
        unsigned footer;
        if (!length_.decode(bits.peek16(), &footer, &len)) return false;
        bits.remove(len);
        matchLength += footer;
      }
      matchLength += kMinMatch;
      unsigned slot = sym >> 3;
      uint32_t offset;
      if (slot == 0) {
        offset = r0_;
      } else if (slot == 1) {
        offset = r1_;
        r1_ = r0_;
        r0_ = offset;
      } else if (slot == 2) {
        offset = r2_;
        r2_ = r0_;
        r0_ = offset;
      } else {
        unsigned extra = slotExtra(slot);
        uint32_t value = slotBase(slot) - 2;
        if (aligned && extra >= 3) {
          value += bits.read(extra - 3) << 3;
          unsigned low;
          if (!aligned_.decode(bits.peek16(), &low, &len)) return false;
          bits.remove(len);
          value += low;
        } else {
          value += bits.read(extra);
        }
        offset = value;
        r2_ = r1_;
        r1_ = r0_;
        r0_ = offset;
      }
      if (matchLength > want - done) return false;
      if (offset == 0 || offset > windowSize_ || offset > total_) return false;
      uint32_t to = pos + done;
      uint32_t from = (to - offset) & (windowSize_ - 1);
      if (from + matchLength <= to || (to + matchLength <= from && from + matchLength <= windowSize_)) {
        memcpy(window_ + to, window_ + from, matchLength);
      } else {
        for (uint32_t i = 0; i < matchLength; ++i) {
          window_[to + i] = window_[from];
          from = (from + 1) & (windowSize_ - 1);
        }
      }
      done += matchLength;
      total_ += matchLength;
    }
    *produced = done;
    return true;
  }

  CodecMemory memory_;
  uint8_t* window_;
  uint32_t windowSize_;
  unsigned mainSymbols_;
  uint32_t r0_, r1_, r2_;
  bool headerRead_;
  int32_t translationSize_;
  uint32_t frame_;
  uint64_t total_;
  unsigned blockType_;
  uint32_t blockRemaining_;
  uint32_t blockLength_;
  bool oddPadPending_;
  bool padWasInPreviousPayload_ = false;
  bool broken_;
  bool shortSeen_;
  uint8_t mainLengths_[kMaxMainSymbols];
  uint8_t lengthLengths_[kLengthSymbols];
  DecodeTable pre_;
  DecodeTable main_;
  DecodeTable length_;
  DecodeTable aligned_;
};

}  // namespace

BlockDecoder* createLzxDecoder(const CodecMemory& memory, unsigned windowBits) {
  if (windowBits < kLzxWindowBitsMin || windowBits > kLzxWindowBitsMax || memory.alloc == nullptr ||
      memory.release == nullptr)
    return nullptr;
  size_t objectBytes = (sizeof(LzxDecoder) + 15) & ~static_cast<size_t>(15);
  void* block = memory.alloc(memory.context, objectBytes + (static_cast<size_t>(1) << windowBits));
  if (block == nullptr) return nullptr;
  uint8_t* window = static_cast<uint8_t*>(block) + objectBytes;
  return new (block) LzxDecoder(memory, windowBits, window);
}

}  // namespace tw::cab
