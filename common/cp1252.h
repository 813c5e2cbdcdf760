// Conversions between the ANSI code page 1252, in which every text of the
// system is stored, and Unicode (UTF-8 for host tools, UTF-16 for resources).
#pragma once
#include <cstdint>
#include <string>

namespace tw {

// The Unicode code point of one CP1252 byte. The five bytes the code page
// leaves unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 controls of
// the same value, as Windows itself converts them.
char32_t cp1252ToCodePoint(unsigned char c);

std::string cp1252ToUtf8(const std::string& text);
std::u16string cp1252ToUtf16(const std::string& text);

// Unicode back to CP1252; a character the code page lacks becomes '?'.
std::string utf8ToCp1252(const std::string& text);

}  // namespace tw
