// Names of the run folders in the temporary folder.
#include "common/run_folder.h"

namespace tw {
namespace {

char upper(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

bool isHex(char c) {
  c = upper(c);
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

std::size_t length(const char* s) {
  std::size_t n = 0;
  while (s[n] != '\0') ++n;
  return n;
}

// Length without trailing backslashes (and forward slashes).
std::size_t trimmed(const char* s) {
  std::size_t n = length(s);
  while (n > 0 && (s[n - 1] == '\\' || s[n - 1] == '/')) --n;
  return n;
}

}  // namespace

void formatRunFolderName(std::uint64_t random, char (&out)[kRunFolderNameLength + 1]) {
  static const char kHex[] = "0123456789ABCDEF";
  out[0] = 'Z';
  out[1] = 'E';
  out[2] = 'T';
  for (std::size_t i = 0; i < kRunFolderDigits; ++i)
    out[3 + i] = kHex[(random >> (4 * (kRunFolderDigits - 1 - i))) & 0xF];
  out[kRunFolderNameLength] = '\0';
}

bool isRunFolderName(const char* name, std::size_t n) {
  if (n != kRunFolderNameLength) return false;
  if (upper(name[0]) != 'Z' || upper(name[1]) != 'E' || upper(name[2]) != 'T') return false;
  for (std::size_t i = 3; i < n; ++i)
    if (!isHex(name[i])) return false;
  return true;
}

bool isRunFolderIn(const char* folder, const char* tempPath) {
  const std::size_t t = trimmed(tempPath);
  const std::size_t f = trimmed(folder);
  if (t == 0 || f != t + 1 + kRunFolderNameLength) return false;
  for (std::size_t i = 0; i < t; ++i) {
    const char a = folder[i] == '/' ? '\\' : upper(folder[i]);
    const char b = tempPath[i] == '/' ? '\\' : upper(tempPath[i]);
    if (a != b) return false;
  }
  if (folder[t] != '\\' && folder[t] != '/') return false;
  return isRunFolderName(folder + t + 1, kRunFolderNameLength);
}

}  // namespace tw
