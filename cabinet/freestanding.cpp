// DLL entry and the few runtime functions the compiler may call in a
// library without a C runtime. The copies and fills use the string
// instructions: the expansion loops move every byte of every cabinet.
#include <windows.h>

#include <cstddef>

extern "C" {

BOOL WINAPI DllMainCRTStartup(HINSTANCE, DWORD, LPVOID) { return TRUE; }

void* memcpy(void* dest, const void* src, std::size_t n) {
  void* d = dest;
  __asm__ volatile("rep movsb" : "+D"(d), "+S"(src), "+c"(n) : : "memory");
  return dest;
}

void* memmove(void* dest, const void* src, std::size_t n) {
  auto* d = static_cast<unsigned char*>(dest);
  const auto* s = static_cast<const unsigned char*>(src);
  if (d <= s || d >= s + n) return memcpy(dest, src, n);
  while (n-- != 0) d[n] = s[n];
  return dest;
}

void* memset(void* dest, int value, std::size_t n) {
  void* d = dest;
  __asm__ volatile("rep stosb" : "+D"(d), "+c"(n) : "a"(value) : "memory");
  return dest;
}

int memcmp(const void* a, const void* b, std::size_t n) {
  const auto* x = static_cast<const unsigned char*>(a);
  const auto* y = static_cast<const unsigned char*>(b);
  for (; n != 0; --n, ++x, ++y)
    if (*x != *y) return *x < *y ? -1 : 1;
  return 0;
}

// Reached only through a call to a pure virtual function, which is a bug.
void __cxa_pure_virtual() { __builtin_trap(); }

}  // extern "C"
