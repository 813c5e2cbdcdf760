// The checks of the files the dispatcher and the runtime write into the
// temporary folder and then load or start: the builder binds each file's
// size and SHA-256 as a resource (into the package and into the runtime's
// resource DLL); whoever loads or starts such a file compares it first.
// Free of any library call: the dispatcher links no C runtime.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/sha256.h"

namespace tw {

// Resource type RCDATA, this id, language neutral.
constexpr std::uint16_t kResTypeRcData = 10;
constexpr std::uint16_t kFileChecksResourceId = 900;

// One record: the file name (upper case, zero-padded), size, digest.
constexpr std::size_t kFileCheckNameSize = 16;
constexpr std::size_t kFileCheckRecordSize = kFileCheckNameSize + 4 + kSha256Size;
constexpr std::size_t kFileChecksMaxRecords = 8;

struct FileCheck {
  char name[kFileCheckNameSize];  // zero-terminated unless 16 characters long
  std::uint32_t size;
  std::uint8_t digest[kSha256Size];
};

// The file's check from the data; name compared without regard to ASCII
// case. False when the data holds no record of that name, is cut short or
// is larger than kFileChecksMaxRecords records.
[[nodiscard]] bool findFileCheck(const void* data, std::size_t size, const char* name, FileCheck* check);

// Writes one record for name (at most 16 characters) into out, which must
// hold kFileCheckRecordSize bytes. False when the name does not fit.
[[nodiscard]] bool writeFileCheck(const char* name, const void* fileData, std::uint32_t fileSize,
                                  std::uint8_t* out);

// True when data is what check describes: the same size and digest.
[[nodiscard]] bool matchesFileCheck(const FileCheck& check, const void* data, std::size_t size);

}  // namespace tw
