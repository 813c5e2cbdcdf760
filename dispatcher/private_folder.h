// Folders of a run in the temporary folder: a name from a random source
// that nobody can tell beforehand, and on the NT family a security
// descriptor that lets only the installing user and the administrators
// write into it. Shared by the dispatcher and the runtime; needs no C
// runtime, and loads ADVAPI32.DLL by its full path in the system folder.
#pragma once

#include <windows.h>

#include <cstdint>

namespace tw {

enum class RandomSource {
  kRtlGenRandom,    // ADVAPI32's SystemFunction036
  kCryptGenRandom,  // the default crypto provider (9x with the crypto API)
  kMixed,           // counters, clocks and ids mixed through SHA-256
};

// 64 random bits; says where they came from.
std::uint64_t randomNumber(RandomSource* source = nullptr);

// Creates folder (no trailing backslash needed), which must not exist yet.
// On the NT family its access list grants the current user, the
// administrators and the system full access and nobody else any; it is not
// inherited from the temporary folder. False with the last error set
// (ERROR_ALREADY_EXISTS when the name is taken).
bool createPrivateFolder(const char* folder);

}  // namespace tw
