// The installation folder's lock name: a hash of its normalised path.
#include "setup/core/removal/folder_lock.h"

#include <cstdint>

#include "setup/core/main/path_text.h"

namespace tw {

std::string folderLockName(const std::string& folder) {
  std::string path;
  path.reserve(folder.size());
  for (char c : folder) {
    if (c == '/') c = '\\';
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    // Repeated separators name the same folder.
    if (c == '\\' && !path.empty() && path.back() == '\\' && path.size() > 1) continue;
    path += c;
  }
  path = withoutBackslash(path);
  // FNV-1a, 64 bits: mutex names may not hold "\", and a path may be
  // longer than a name may be.
  uint64_t hash = 14695981039346656037ull;
  for (unsigned char c : path) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  static const char kHex[] = "0123456789ABCDEF";
  std::string name = "ZETUREMOVE-";
  for (int shift = 60; shift >= 0; shift -= 4) name += kHex[(hash >> shift) & 15];
  return name;
}

}  // namespace tw
