// The version digits that name "Hoehere Version" files in a cabinet.
#pragma once
#include <string>

namespace tw {

// Sixteen upper-case hex digits: the least significant 32 bits of the
// file's fixed version (release.build), then the most significant
// (major.minor); all zero when the file has no version resource.
std::string versionDigits(const std::string& path);

}  // namespace tw
