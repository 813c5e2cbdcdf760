// The cabinet file format: the fixed parts of CFHEADER, CFFOLDER, CFFILE and
// CFDATA as byte offsets, little-endian accessors, and the CFDATA checksum.
#pragma once
#include <cstddef>
#include <cstdint>

namespace tw::cab {

// CFHEADER
constexpr size_t kHdrSignature = 0;      // "MSCF"
constexpr size_t kHdrReserved1 = 4;
constexpr size_t kHdrCbCabinet = 8;
constexpr size_t kHdrReserved2 = 12;
constexpr size_t kHdrCoffFiles = 16;
constexpr size_t kHdrReserved3 = 20;
constexpr size_t kHdrVersionMinor = 24;
constexpr size_t kHdrVersionMajor = 25;
constexpr size_t kHdrCFolders = 26;
constexpr size_t kHdrCFiles = 28;
constexpr size_t kHdrFlags = 30;
constexpr size_t kHdrSetId = 32;
constexpr size_t kHdrICabinet = 34;
constexpr size_t kHdrSize = 36;
// Present when kFlagReservePresent is set, right after the fixed header.
constexpr size_t kHdrCbCFHeader = 36;
constexpr size_t kHdrCbCFFolder = 38;
constexpr size_t kHdrCbCFData = 39;
constexpr size_t kHdrReserveFieldsSize = 4;

constexpr uint8_t kVersionMinor = 3;
constexpr uint8_t kVersionMajor = 1;
constexpr uint16_t kFlagPrevCabinet = 0x0001;
constexpr uint16_t kFlagNextCabinet = 0x0002;
constexpr uint16_t kFlagReservePresent = 0x0004;
constexpr size_t kHeaderReserveMax = 60000;
constexpr size_t kFolderReserveMax = 255;
constexpr size_t kDataReserveMax = 255;

// CFFOLDER
constexpr size_t kFolCoffCabStart = 0;
constexpr size_t kFolCCFData = 4;
constexpr size_t kFolTypeCompress = 6;
constexpr size_t kFolSize = 8;

// CFFILE
constexpr size_t kFileCbFile = 0;
constexpr size_t kFileUoffFolderStart = 4;
constexpr size_t kFileIFolder = 8;
constexpr size_t kFileDate = 10;
constexpr size_t kFileTime = 12;
constexpr size_t kFileAttribs = 14;
constexpr size_t kFileSize = 16;  // the NUL-terminated name follows
constexpr uint16_t kFolderContinuedFromPrev = 0xFFFD;
constexpr uint16_t kFolderContinuedToNext = 0xFFFE;
constexpr uint16_t kFolderContinuedPrevAndNext = 0xFFFF;
// Longest name with its NUL, for file names and cabinet/disk names alike.
constexpr size_t kNameMax = 256;
constexpr uint16_t kAttribExecute = 0x40;

// CFDATA
constexpr size_t kDataCsum = 0;
constexpr size_t kDataCbData = 4;
constexpr size_t kDataCbUncomp = 6;
constexpr size_t kDataSize = 8;

// A folder's uncompressed data stay below 32 KB * 65535 blocks; file
// offsets and sizes inside it are 32-bit.
constexpr uint32_t kFolderBlocksMax = 65535;

inline uint16_t get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline uint32_t get32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
inline void put16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
inline void put32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  p[2] = static_cast<uint8_t>(v >> 16);
  p[3] = static_cast<uint8_t>(v >> 24);
}

// The format's checksum: the XOR of the little-endian 32-bit words of the
// bytes, a short tail taken most significant byte first, folded into seed.
uint32_t checksum(const uint8_t* bytes, size_t size, uint32_t seed);

// The csum field of a CFDATA: the payload's checksum folded with cbData and
// cbUncomp from the header. A reserve area between them is not covered, as
// the other readers of the format take it.
uint32_t dataChecksum(const uint8_t* header, const uint8_t* payload, size_t payloadSize);

// Bytes of a NUL-terminated name within limit bytes including the NUL; 0
// for an empty name or when no NUL comes within the limit.
size_t boundedNameLength(const uint8_t* text, size_t limit);

}  // namespace tw::cab
