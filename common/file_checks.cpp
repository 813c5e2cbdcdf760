// The file checks' records: name, 32-bit size (little-endian), SHA-256.
#include "common/file_checks.h"

namespace tw {
namespace {

char upper(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

bool sameName(const std::uint8_t* record, const char* name) {
  std::size_t i = 0;
  for (; i < kFileCheckNameSize && name[i] != '\0'; ++i)
    if (upper(char(record[i])) != upper(name[i])) return false;
  if (name[i] != '\0') return false;  // longer than any record's name
  return i == kFileCheckNameSize || record[i] == 0;
}

}  // namespace

bool findFileCheck(const void* data, std::size_t size, const char* name, FileCheck* check) {
  if (data == nullptr || size == 0 || size % kFileCheckRecordSize != 0 ||
      size / kFileCheckRecordSize > kFileChecksMaxRecords)
    return false;
  const auto* p = static_cast<const std::uint8_t*>(data);
  for (const std::uint8_t* r = p; r < p + size; r += kFileCheckRecordSize) {
    if (!sameName(r, name)) continue;
    for (std::size_t i = 0; i < kFileCheckNameSize; ++i) check->name[i] = char(r[i]);
    const std::uint8_t* s = r + kFileCheckNameSize;
    check->size = std::uint32_t(s[0]) | std::uint32_t(s[1]) << 8 | std::uint32_t(s[2]) << 16 |
                  std::uint32_t(s[3]) << 24;
    for (std::size_t i = 0; i < kSha256Size; ++i) check->digest[i] = s[4 + i];
    return true;
  }
  return false;
}

bool writeFileCheck(const char* name, const void* fileData, std::uint32_t fileSize, std::uint8_t* out) {
  std::size_t n = 0;
  while (name[n] != '\0') ++n;
  if (n == 0 || n > kFileCheckNameSize) return false;
  for (std::size_t i = 0; i < kFileCheckNameSize; ++i) out[i] = i < n ? std::uint8_t(upper(name[i])) : 0;
  std::uint8_t* s = out + kFileCheckNameSize;
  for (int i = 0; i < 4; ++i) s[i] = std::uint8_t(fileSize >> (8 * i));
  std::uint8_t digest[kSha256Size];
  sha256(fileData, fileSize, digest);
  for (std::size_t i = 0; i < kSha256Size; ++i) s[4 + i] = digest[i];
  return true;
}

bool matchesFileCheck(const FileCheck& check, const void* data, std::size_t size) {
  if (size != check.size) return false;
  std::uint8_t digest[kSha256Size];
  sha256(data, size, digest);
  return sameDigest(digest, check.digest);
}

}  // namespace tw
