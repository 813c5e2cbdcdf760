// The few C library functions the compiler, libgcc and the template code of
// the C++ library call in a program or DLL without a C runtime. Built with
// -fno-builtin and without loop pattern distribution, so that no loop here
// becomes a call to itself.
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

int memcmp(const void* a, const void* b, std::size_t n) {
  const auto* p = static_cast<const unsigned char*>(a);
  const auto* q = static_cast<const unsigned char*>(b);
  for (; n != 0; --n, ++p, ++q)
    if (*p != *q) return *p < *q ? -1 : 1;
  return 0;
}

void* memchr(const void* s, int c, std::size_t n) {
  const auto* p = static_cast<const unsigned char*>(s);
  for (; n != 0; --n, ++p)
    if (*p == static_cast<unsigned char>(c)) return const_cast<unsigned char*>(p);
  return nullptr;
}

std::size_t strlen(const char* s) {
  const char* p = s;
  while (*p != '\0') ++p;
  return static_cast<std::size_t>(p - s);
}

int strcmp(const char* a, const char* b) {
  while (*a != '\0' && *a == *b) ++a, ++b;
  return static_cast<unsigned char>(*a) - static_cast<unsigned char>(*b);
}

int strncmp(const char* a, const char* b, std::size_t n) {
  for (; n != 0; --n, ++a, ++b)
    if (*a != *b || *a == '\0') return static_cast<unsigned char>(*a) - static_cast<unsigned char>(*b);
  return 0;
}

char* strchr(const char* s, int c) {
  for (;; ++s) {
    if (*s == static_cast<char>(c)) return const_cast<char*>(s);
    if (*s == '\0') return nullptr;
  }
}

std::size_t wcslen(const wchar_t* s) {
  const wchar_t* p = s;
  while (*p != L'\0') ++p;
  return static_cast<std::size_t>(p - s);
}

wchar_t* wmemcpy(wchar_t* dest, const wchar_t* src, std::size_t n) {
  memcpy(dest, src, n * sizeof(wchar_t));
  return dest;
}

wchar_t* wmemmove(wchar_t* dest, const wchar_t* src, std::size_t n) {
  memmove(dest, src, n * sizeof(wchar_t));
  return dest;
}

wchar_t* wmemset(wchar_t* dest, wchar_t c, std::size_t n) {
  volatile wchar_t* p = dest;
  while (n-- != 0) *p++ = c;
  return dest;
}

int wmemcmp(const wchar_t* a, const wchar_t* b, std::size_t n) {
  for (; n != 0; --n, ++a, ++b)
    if (*a != *b) return *a < *b ? -1 : 1;
  return 0;
}

const wchar_t* wmemchr(const wchar_t* s, wchar_t c, std::size_t n) {
  for (; n != 0; --n, ++s)
    if (*s == c) return s;
  return nullptr;
}

// ASCII only, as the C locale does. The C library's header declares them
// as imported from its DLL, so callers reach them through these pointers.
int tolower(int c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; }
int toupper(int c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; }
extern int (*const importedTolower)(int) __asm__("__imp__tolower");
int (*const importedTolower)(int) = &tolower;
extern int (*const importedToupper)(int) __asm__("__imp__toupper");
int (*const importedToupper)(int) = &toupper;

// Rounding half away from zero; the values are pixel sizes, far inside
// the range of long.
long lround(double x) { return static_cast<long>(x < 0 ? x - 0.5 : x + 0.5); }

// Decimal, octal and hexadecimal as the C library reads them, with the
// saturation to ULONG_MAX on overflow.
unsigned long strtoul(const char* text, char** end, int base) {
  const char* p = text;
  while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  if ((base == 0 || base == 16) && p[0] == '0' && (p[1] == 'x' || p[1] == 'X') &&
      ((p[2] >= '0' && p[2] <= '9') || (p[2] >= 'a' && p[2] <= 'f') || (p[2] >= 'A' && p[2] <= 'F'))) {
    p += 2;
    base = 16;
  } else if (base == 0) {
    base = *p == '0' ? 8 : 10;
  }
  unsigned long value = 0;
  bool overflow = false;
  const char* digits = p;
  for (;; ++p) {
    int d;
    if (*p >= '0' && *p <= '9') d = *p - '0';
    else if (*p >= 'a' && *p <= 'z') d = *p - 'a' + 10;
    else if (*p >= 'A' && *p <= 'Z') d = *p - 'A' + 10;
    else break;
    if (d >= base) break;
    if (value > (~0ul - static_cast<unsigned long>(d)) / static_cast<unsigned long>(base)) overflow = true;
    value = value * static_cast<unsigned long>(base) + static_cast<unsigned long>(d);
  }
  if (end != nullptr) *end = const_cast<char*>(p == digits ? text : p);
  if (overflow) return ~0ul;
  return negative ? 0ul - value : value;
}

int atoi(const char* text) { return static_cast<int>(static_cast<long>(strtoul(text, nullptr, 10))); }

// Reached only through a call to a pure virtual function, which is a bug.
void __cxa_pure_virtual() { __builtin_trap(); }

}  // extern "C"
