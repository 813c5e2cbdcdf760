// The block codecs of the cabinet format: each CFDATA block is compressed or
// expanded by one call, and a codec carries whatever history its method keeps
// from block to block within one folder.
//
// Codecs run inside CABINET.DLL, which links no C runtime: no exceptions, no
// RTTI, no standard containers, no global new; memory only through the
// caller's CodecMemory.
#pragma once
#include <cstddef>
#include <cstdint>

namespace tw::cab {

// typeCompress of a CFFOLDER: the method in the low nibble; for LZX the
// window's size as a power of two in bits 8..12 (0x1503: LZX, 2 MB window).
constexpr uint16_t kCompressNone = 0x0000;
constexpr uint16_t kCompressMsZip = 0x0001;
constexpr uint16_t kCompressLzx = 0x0003;
constexpr uint16_t kCompressMethodMask = 0x000F;
constexpr unsigned kLzxWindowBitsMin = 15;
constexpr unsigned kLzxWindowBitsMax = 21;
constexpr uint16_t lzxType(unsigned windowBits) {
  return static_cast<uint16_t>(kCompressLzx | (windowBits << 8));
}
constexpr unsigned lzxWindowBits(uint16_t typeCompress) { return (typeCompress >> 8) & 0x1F; }

// Uncompressed bytes in one CFDATA block: every block of a folder holds
// exactly this many but the folder's last, which may hold fewer.
constexpr size_t kBlockMax = 32768;
// The largest payload a codec may write for one block (the format's limit).
constexpr size_t kCompressedBlockMax = 32768 + 6144;

// Allocation through the library's caller (the FCI/FDI alloc callbacks).
struct CodecMemory {
  void* (*alloc)(void* context, size_t bytes);  // null when out of memory
  void (*release)(void* context, void* block);
  void* context;
};

class BlockEncoder {
 public:
  // Compresses one block of 1..kBlockMax bytes into out, which holds at least
  // kCompressedBlockMax bytes, and returns the payload's size (0: failure).
  // lastInFolder tells the codec that no block of this folder follows.
  virtual size_t encode(const uint8_t* in, size_t size, uint8_t* out, bool lastInFolder) = 0;
  // A new folder begins: no history from the blocks before.
  virtual void reset() = 0;
  // Ends the object and gives its memory back to the CodecMemory it came from.
  virtual void destroy() = 0;

 protected:
  ~BlockEncoder() = default;
};

class BlockDecoder {
 public:
  // Expands one payload into exactly outSize bytes (the block's cbUncomp,
  // 1..kBlockMax); false when the data are damaged or do not fill outSize.
  virtual bool decode(const uint8_t* in, size_t inSize, uint8_t* out, size_t outSize) = 0;
  virtual void reset() = 0;
  virtual void destroy() = 0;

 protected:
  ~BlockDecoder() = default;
};

// Each returns null when memory runs out or a parameter is out of range.
BlockEncoder* createLzxEncoder(const CodecMemory& memory, unsigned windowBits);
BlockDecoder* createLzxDecoder(const CodecMemory& memory, unsigned windowBits);
BlockEncoder* createMsZipEncoder(const CodecMemory& memory);
BlockDecoder* createMsZipDecoder(const CodecMemory& memory);

}  // namespace tw::cab
