// Fuzz target: the folder remover's command line, which comes from outside.
#include "tools/zeturfd/remove_request.h"

#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string line(reinterpret_cast<const char*>(data), size);  // cut at a zero
  RemoveRequest request;
  if (parseRemoveRequest(line.c_str(), request) != RequestFault::kOk) return 0;
  // An accepted folder is absolute, fits, and has nothing that could widen it.
  const size_t n = strnlen(request.folder, kRemoveMaxPath);
  if (n == 0 || n >= kRemoveMaxPath) abort();
  if (request.folder[n - 1] == '\\') abort();
  if (strpbrk(request.folder, "*?/\"<>|") != nullptr) abort();
  if (strstr(request.folder + 2, ":") != nullptr) abort();
  // No part past the drive or the server is empty or only dots and blanks.
  const char* part = request.folder[0] == '\\' ? request.folder + 2 : request.folder + 3;
  for (const char* p = part;; ++p) {
    if (*p != '\\' && *p != '\0') continue;
    bool onlyDots = true;
    for (const char* q = part; q < p; ++q) onlyDots = onlyDots && (*q == '.' || *q == ' ');
    if (onlyDots) abort();
    if (*p == '\0') break;
    part = p + 1;
  }
  if (!isSameOrBelow(request.folder, request.folder)) abort();
  return 0;
}
