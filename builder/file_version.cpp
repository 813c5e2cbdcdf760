// Reading a file's fixed version for its name in the cabinet: with the
// portable reader the host build uses too, so both name files alike; only a
// file that is no 32-bit module (an old 16-bit one) is left to the system's
// version functions.
#include "builder/file_version.h"

#include <windows.h>

#include <cstdio>
#include <vector>

#include "builder/win32_file_system.h"
#include "common/pe_resources.h"

namespace tw {
namespace {

std::string systemVersionDigits(const std::string& path) {
  DWORD ms = 0, ls = 0, ignored = 0;
  DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
  if (size) {
    std::vector<char> block(size);
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (GetFileVersionInfoA(path.c_str(), 0, size, block.data()) &&
        VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&info), &length) && info) {
      ms = info->dwFileVersionMS;
      ls = info->dwFileVersionLS;
    }
  }
  char digits[17];
  std::snprintf(digits, sizeof digits, "%08lX%08lX", static_cast<unsigned long>(ls), static_cast<unsigned long>(ms));
  return digits;
}

}  // namespace

std::string versionDigits(const std::string& path) {
  Win32FileSystem files;
  std::vector<uint8_t> bytes;
  std::vector<ResEntry> resources;
  if (files.readFile(path, bytes) == FileReadStatus::Ok && readPeResources(bytes, resources) == PeError::kOk)
    return peVersionDigits(bytes);
  return systemVersionDigits(path);
}

}  // namespace tw
