// The codec for a folder's typeCompress: stored here, LZX and MSZIP from
// their own folders.
#pragma once
#include <cstdint>

#include "cabinet/core/codec.h"

namespace tw::cab {

// Whether this library writes (encoder) or reads folders of this type.
bool encoderAvailable(uint16_t typeCompress);
bool decoderAvailable(uint16_t typeCompress);

// Null when the type is not available or memory runs out.
BlockEncoder* createEncoder(const CodecMemory& memory, uint16_t typeCompress);
BlockDecoder* createDecoder(const CodecMemory& memory, uint16_t typeCompress);

BlockEncoder* createStoredEncoder(const CodecMemory& memory);
BlockDecoder* createStoredDecoder(const CodecMemory& memory);

}  // namespace tw::cab
