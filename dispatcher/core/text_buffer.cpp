// Bounded ANSI string helpers shared by the dispatcher's path and text code.
#include "dispatcher/core/text_buffer.h"

namespace tw::dispatcher {

std::size_t textLength(const char* s) {
  std::size_t n = 0;
  while (s[n] != '\0') ++n;
  return n;
}

bool appendTextN(char* out, std::size_t capacity, const char* src,
                 std::size_t n) {
  const std::size_t used = textLength(out);
  if (used >= capacity || n > capacity - used - 1) return false;
  for (std::size_t i = 0; i < n; ++i) out[used + i] = src[i];
  out[used + n] = '\0';
  return true;
}

bool appendText(char* out, std::size_t capacity, const char* src) {
  return appendTextN(out, capacity, src, textLength(src));
}

bool equalsIgnoringCase(const char* a, const char* b) {
  auto lower = [](char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  };
  for (; *a != '\0' && *b != '\0'; ++a, ++b)
    if (lower(*a) != lower(*b)) return false;
  return *a == *b;
}

}  // namespace tw::dispatcher
