// Names of the dispatcher's work folder: "ZET", sixteen hex digits of a
// random number, backslash (common/run_folder.h).
#pragma once

#include <cstddef>
#include <cstdint>

namespace tw::dispatcher {

// Buffers for paths, as the platform's MAX_PATH.
constexpr std::size_t kPathCapacity = 260;

// Writes tempPath, the run folder name for random and a backslash into
// out. A tempPath without its trailing backslash gets one. False (out
// empty) when it does not fit.
[[nodiscard]] bool formatWorkFolder(const char* tempPath, std::uint64_t random,
                                    char* out, std::size_t capacity);

// A taken name is passed over for a new random one; this many taken names
// in a row mean something else is wrong.
constexpr std::uint32_t kWorkFolderAttempts = 16;

}  // namespace tw::dispatcher
