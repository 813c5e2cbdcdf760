// The per-user installation record under HKEY_CURRENT_USER and the
// application's identity in the profile that names it.
#pragma once
#include <string>

namespace tw {

constexpr int kRecordFound = 4;  // bit of readInstallRecord's result

struct ApplicationIdentity {
  std::string company, application, version;  // profile strings 2, 0, 1
};
ApplicationIdentity applicationIdentity();

// Writes TYPE (never narrower than stored: kind 1..3), SMFOLDER and
// SMFILELINK; false (the last error set) when a write fails.
bool writeInstallRecord(int kind, const std::string& programFolder, unsigned linkBits);

}  // namespace tw
