// String table block encoding and decoding.
#include "common/string_block.h"

#include "common/cp1252.h"

namespace tw {

std::vector<uint8_t> encodeStringBlock(const std::vector<std::string>& strings) {
  std::vector<uint8_t> out;
  for (const std::string& s : strings) {
    std::u16string units = cp1252ToUtf16(s);
    out.push_back(static_cast<uint8_t>(units.size()));
    out.push_back(static_cast<uint8_t>(units.size() >> 8));
    for (char16_t u : units) {
      out.push_back(static_cast<uint8_t>(u));
      out.push_back(static_cast<uint8_t>(u >> 8));
    }
  }
  return out;
}

std::string utf16ToCp1252(const char16_t* units, size_t count) {
  std::string out;
  out.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    char16_t u = units[i];
    char c = '?';
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
      c = static_cast<char>(u);
    } else {
      for (int b = 0x80; b < 0xA0; ++b)
        if (cp1252ToCodePoint(static_cast<unsigned char>(b)) == u) {
          c = static_cast<char>(b);
          break;
        }
    }
    out += c;
  }
  return out;
}

bool decodeStringBlockEntry(const uint8_t* data, size_t size, int index, std::string& text) {
  size_t pos = 0;
  for (int i = 0; i <= index; ++i) {
    if (size - pos < 2) return false;
    size_t count = data[pos] | (data[pos + 1] << 8);
    pos += 2;
    if (count > (size - pos) / 2) return false;
    if (i == index) {
      std::u16string units(count, u'\0');
      for (size_t k = 0; k < count; ++k)
        units[k] = static_cast<char16_t>(data[pos + 2 * k] | (data[pos + 2 * k + 1] << 8));
      text = utf16ToCp1252(units.data(), units.size());
      return true;
    }
    pos += 2 * count;
  }
  return false;
}

}  // namespace tw
