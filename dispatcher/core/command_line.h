// The command line that starts the runtime from the work folder.
#pragma once

#include <cstddef>

namespace tw::dispatcher {

constexpr std::size_t kCommandLineCapacity = 520;

// "<workFolder>_Setup.exe" ZETUFINST "<packagePath>", workFolder ending in
// a backslash. False, with out empty, when the line would not fit: a cut
// path would send the runtime to the wrong package.
[[nodiscard]] bool buildRuntimeCommandLine(const char* workFolder,
                                           const char* packagePath, char* out,
                                           std::size_t capacity);

}  // namespace tw::dispatcher
