// The size figures of the setup pages.
#pragma once
#include <cstdint>
#include <string>

namespace tw {

// Kilobytes of a list entry: 0 for 0 bytes, 1 up to 1024 bytes, else the
// bytes divided by 1024, rounded down.
uint64_t kilobytesForList(uint64_t bytes);

// Megabytes with one decimal and a decimal comma: "0,1 MB", "10,1 MB".
std::string megabytesText(uint64_t bytes);

}  // namespace tw
