// String table blocks (resource type 6): block n holds strings 16(n-1) to
// 16n-1, each a 16-bit count of UTF-16 units and the units. Texts on our
// side are CP1252.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace tw {

constexpr int kStringsPerBlock = 16;

inline uint16_t stringBlockId(int stringId) { return static_cast<uint16_t>(stringId / 16 + 1); }

// Encodes up to 16 strings; strings missing at the end are not written.
std::vector<uint8_t> encodeStringBlock(const std::vector<std::string>& strings);

// String `index` (0..15) of a block, converted back to CP1252. False when
// the block ends before it; an absent string and an empty one both read as
// empty with true only for the former when the block holds it.
bool decodeStringBlockEntry(const uint8_t* data, size_t size, int index, std::string& text);

// UTF-16 to CP1252 (characters outside the code page become '?').
std::string utf16ToCp1252(const char16_t* units, size_t count);

}  // namespace tw
