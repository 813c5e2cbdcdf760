// Bounded ANSI string helpers shared by the dispatcher's path and text code.
#pragma once

#include <cstddef>

namespace tw::dispatcher {

// Length of a zero-terminated string.
std::size_t textLength(const char* s);

// Appends src behind the string in out (capacity bytes in all). Returns
// false and leaves out unchanged when the result would not fit.
[[nodiscard]] bool appendText(char* out, std::size_t capacity, const char* src);

// appendText for the first n characters of src.
[[nodiscard]] bool appendTextN(char* out, std::size_t capacity, const char* src,
                               std::size_t n);

// ASCII case-insensitive equality; the names compared are ASCII.
bool equalsIgnoringCase(const char* a, const char* b);

}  // namespace tw::dispatcher
