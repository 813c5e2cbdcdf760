// Size figures.
#include "setup/core/wizard/size_text.h"

namespace tw {

uint64_t kilobytesForList(uint64_t bytes) {
  if (bytes == 0) return 0;
  if (bytes <= 1024) return 1;
  return bytes / 1024;
}

std::string megabytesText(uint64_t bytes) {
  uint64_t tenths = (bytes + 104856) / 104857;
  std::string digits = std::to_string(tenths);
  if (digits.size() < 2) digits.insert(0, 1, '0');
  return digits.substr(0, digits.size() - 1) + "," + digits.back() + " MB";
}

}  // namespace tw
