// The folder values behind the path aliases, read from the system at
// start-up, and the alias table over them.
#pragma once
#include <windows.h>

#include <string>

#include "common/install_profile.h"
#include "setup/main/runtime_state.h"

namespace tw {

// Temporary, system, 16-bit system, Windows folders, user name and the
// registry's common files, program files, fonts, desktop, programs folders.
void readSystemFolders(RunState& state);

// The aliases of a run, for expandAliases.
class RunFolders final : public AliasFolders {
 public:
  explicit RunFolders(const RunState& state) : state_(state) {}
  std::string value(const std::string& alias) const override;

 private:
  const RunState& state_;
};

// Expands a profile path with the run's folders and components.
std::string expandRunPath(const std::string& text);

// The alias expansion as the extension hooks receive it: the text in
// `buffer` expanded in place; returns the expanded length.
LONG WINAPI expandForHook(char* buffer, LONG size);

// The Windows 9x family (the version value's top bit set).
bool windows9xFamily();

// Free bytes for the caller on the drive of `path`; false when the system
// cannot tell.
bool driveFreeBytes(const std::string& path, unsigned long long& bytes);

}  // namespace tw
