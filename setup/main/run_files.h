// What the runtime loads or starts from the temporary folder: compared with
// the size and SHA-256 the builder bound into the resource DLL (or taken
// when the runtime wrote the file itself) right before the load or start,
// and held open against any change meanwhile; fresh run folders with a
// random name for the remover.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "common/sha256.h"

namespace tw {

// A file opened for reading that nobody can write, replace or delete while
// it stays open; closed by the destructor unless released.
class HeldFile {
 public:
  HeldFile() = default;
  HeldFile(const HeldFile&) = delete;
  HeldFile& operator=(const HeldFile&) = delete;
  ~HeldFile() { close(); }
  // Opens path and takes its size and digest. False with the last error set.
  bool open(const std::string& path);
  void close();
  // Keeps the handle open until the process ends.
  void keepToTheEnd() { handle_ = INVALID_HANDLE_VALUE; }
  uint64_t size = 0;
  uint8_t digest[kSha256Size] = {};

 private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// Opens path and compares it with the check that the resource DLL carries
// for `name`. False with ERROR_FILE_CORRUPT for a mismatch or a missing
// check, or the system's error when the file cannot be read.
bool holdCheckedFile(const std::string& path, const char* name, HeldFile& held);

// The whole file (at most `limit` bytes) compared with the resource DLL's
// check for `name`. False as holdCheckedFile.
bool readCheckedFile(const std::string& path, const char* name, std::vector<uint8_t>& bytes,
                     size_t limit = 16u << 20);

// A new folder directly in tempFolder with a random run folder name, private
// to this user on the NT family; the path without trailing backslash, or
// empty with the last error set.
std::string createRunFolder(const std::string& tempFolder);

// Writes bytes to path, which must not exist yet. False with the last error.
bool writeNewFile(const std::string& path, const std::vector<uint8_t>& bytes);

// "The file is corrupt" as the system says it, and the path, caption
// "Setup", stop icon: a file the runtime was to load or start has been
// changed since it was written.
void showRefusedFile(const std::string& path);

}  // namespace tw
