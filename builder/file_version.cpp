// Reading a file's fixed version for its name in the cabinet.
#include "builder/file_version.h"

#include <windows.h>

#include <cstdio>
#include <vector>

namespace tw {

std::string versionDigits(const std::string& path) {
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

}  // namespace tw
