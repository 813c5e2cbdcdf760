// The command line that starts the runtime from the work folder, and what
// the dispatcher reads of its own.
#pragma once

#include <cstddef>

namespace tw::dispatcher {

constexpr std::size_t kCommandLineCapacity = 520;
// The switches passed on to the runtime may take this much more.
constexpr std::size_t kSwitchesCapacity = 1024;

// "<workFolder>_Setup.exe" ZETUFINST "<packagePath>", workFolder ending in
// a backslash. False, with out empty, when the line would not fit: a cut
// path would send the runtime to the wrong package.
[[nodiscard]] bool buildRuntimeCommandLine(const char* workFolder,
                                           const char* packagePath, char* out,
                                           std::size_t capacity);

// The same with the package's own arguments behind it, as they were given
// (switches for an unattended run); none when arguments is empty.
[[nodiscard]] bool buildRuntimeCommandLine(const char* workFolder,
                                           const char* packagePath,
                                           const char* arguments, char* out,
                                           std::size_t capacity);

// What follows the program's name in a command line, without the blanks in
// front: the name is the first argument, quoted or not.
const char* argumentsAfterProgram(const char* commandLine);

// Whether the arguments ask for a run without any window: "/S" or
// "/PROGRESS" (or with "-"), in any case, as a whole argument.
bool silentRequested(const char* arguments);

// The value of the last "/LOG=" (or "-LOG:", any case) among the
// arguments, quotes dropped; false when there is none or it does not fit.
bool logRequested(const char* arguments, char* out, std::size_t capacity);

// Whether a path is relative: not "X:..." and not "\\...".
bool relativePath(const char* path);

}  // namespace tw::dispatcher
