// Test helpers for the LZX codec: whole folders through our encoder and
// decoder, a minimal one-folder cabinet, and extraction of that cabinet by
// an independent decoder (libmspack) when it is installed.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "cabinet/core/codec.h"

namespace lzxtest {

using Bytes = std::vector<uint8_t>;

struct Folder {
  std::vector<Bytes> payloads;       // one per CFDATA block
  std::vector<size_t> uncompressed;  // cbUncomp of each block
};

tw::cab::CodecMemory heapMemory();

// Splits data into 32 KB blocks and encodes them with one encoder.
Folder encodeFolder(tw::cab::BlockEncoder& encoder, const Bytes& data);
Folder encodeFolder(const Bytes& data, unsigned windowBits);
// Decodes every block; false when the decoder refuses one.
bool decodeFolder(tw::cab::BlockDecoder& decoder, const Folder& folder, Bytes* out);
bool decodeFolder(const Folder& folder, unsigned windowBits, Bytes* out);

// A cabinet of one folder (typeCompress) holding one file of fileSize bytes.
Bytes writeCabinet(const Folder& folder, uint16_t typeCompress, size_t fileSize);

bool haveIndependentDecoder();
// Extracts the cabinet's only file with libmspack; false when it refuses.
bool extractIndependently(const Bytes& cabinet, Bytes* out);

// Test data.
Bytes randomBytes(size_t size, uint32_t seed);
Bytes textLike(size_t size, uint32_t seed);
// x86-like code: many calls (E8 rel32) to a small set of targets.
Bytes callHeavy(size_t size, uint32_t seed);

}  // namespace lzxtest
