#include "cabinet/core/container/codecs.h"

namespace tw::cab {
namespace {

bool lzxWindowValid(uint16_t type) {
  unsigned bits = lzxWindowBits(type);
  return bits >= kLzxWindowBitsMin && bits <= kLzxWindowBitsMax;
}

}  // namespace

bool encoderAvailable(uint16_t type) {
  switch (type & kCompressMethodMask) {
    case kCompressNone:
      return type == kCompressNone;
    case kCompressMsZip:
      return type == kCompressMsZip;
    case kCompressLzx:
      return lzxWindowValid(type) && (type & ~0x1F0F) == 0;
    default:
      return false;
  }
}

bool decoderAvailable(uint16_t type) {
  switch (type & kCompressMethodMask) {
    case kCompressNone:
    case kCompressMsZip:
      return true;
    case kCompressLzx:
      return lzxWindowValid(type);
    default:
      return false;
  }
}

BlockEncoder* createEncoder(const CodecMemory& memory, uint16_t type) {
  if (!encoderAvailable(type)) return nullptr;
  switch (type & kCompressMethodMask) {
    case kCompressNone:
      return createStoredEncoder(memory);
    case kCompressMsZip:
      return createMsZipEncoder(memory);
    case kCompressLzx:
      return createLzxEncoder(memory, lzxWindowBits(type));
    default:
      return nullptr;
  }
}

BlockDecoder* createDecoder(const CodecMemory& memory, uint16_t type) {
  if (!decoderAvailable(type)) return nullptr;
  switch (type & kCompressMethodMask) {
    case kCompressNone:
      return createStoredDecoder(memory);
    case kCompressMsZip:
      return createMsZipDecoder(memory);
    case kCompressLzx:
      return createLzxDecoder(memory, lzxWindowBits(type));
    default:
      return nullptr;
  }
}

}  // namespace tw::cab
