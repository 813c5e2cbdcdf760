// The few runtime functions the compiler may call in a program without a C
// runtime.
#include <cstddef>

extern "C" {

void* memset(void* dest, int value, std::size_t n) {
  auto* p = static_cast<volatile unsigned char*>(dest);
  while (n-- != 0) *p++ = static_cast<unsigned char>(value);
  return dest;
}

void* memcpy(void* dest, const void* src, std::size_t n) {
  auto* d = static_cast<volatile unsigned char*>(dest);
  const auto* s = static_cast<const unsigned char*>(src);
  while (n-- != 0) *d++ = *s++;
  return dest;
}

void* memmove(void* dest, const void* src, std::size_t n) {
  auto* d = static_cast<volatile unsigned char*>(dest);
  const auto* s = static_cast<const unsigned char*>(src);
  if (d < s) {
    while (n-- != 0) *d++ = *s++;
  } else {
    while (n-- != 0) d[n] = s[n];
  }
  return dest;
}

// Reached only through a call to a pure virtual function, which is a bug.
void __cxa_pure_virtual() { __builtin_trap(); }

}  // extern "C"
