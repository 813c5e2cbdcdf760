// Splitting DecompressCab's cabinet path into FDI's cabinet name and folder.
#pragma once

#include <cstddef>

namespace tw::cabxpd {

// FDI takes the cabinet name and its folder in buffers of this size.
constexpr std::size_t kCabinetPathBuffer = 256;

// No path (null) names the memory pseudo-file with an empty folder. A path
// whose last backslash comes after its first character is split behind that
// backslash, the folder keeping it; any other path is a bare name with an
// empty folder. False, with both buffers empty, when a part does not fit.
bool splitCabinetPath(const char* path, char (&name)[kCabinetPathBuffer],
                      char (&folder)[kCabinetPathBuffer]);

}  // namespace tw::cabxpd
