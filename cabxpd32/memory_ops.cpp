// memcpy and memset for CABXPD32.DLL, which links no C runtime: the compiler
// may emit calls to them for copies and clears.
#include <cstddef>

extern "C" {

void* memcpy(void* to, const void* from, std::size_t count) {
  unsigned char* out = static_cast<unsigned char*>(to);
  const unsigned char* in = static_cast<const unsigned char*>(from);
  while (count-- != 0) *out++ = *in++;
  return to;
}

void* memset(void* to, int value, std::size_t count) {
  unsigned char* out = static_cast<unsigned char*>(to);
  while (count-- != 0) *out++ = static_cast<unsigned char>(value);
  return to;
}

}  // extern "C"
