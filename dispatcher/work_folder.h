// Names of the dispatcher's work folder: "ZET", four hex digits, backslash.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tw::dispatcher {

// Buffers for paths, as the platform's MAX_PATH.
constexpr std::size_t kPathCapacity = 260;

// Writes tempPath, "ZET", the low 16 bits of unique as four upper-case hex
// digits and a backslash into out. A tempPath without its trailing
// backslash gets one. False when it does not fit.
[[nodiscard]] bool formatWorkFolder(const char* tempPath, std::uint32_t unique,
                                    char* out, std::size_t capacity);

// The first name comes from the clock, so that packages started at the
// same time pick different names; each retry takes the next number, so
// that kWorkFolderAttempts attempts try every name once, however the clock
// moves, and a free name is found as long as there is one.
class WorkFolderUnique {
 public:
  explicit WorkFolderUnique(std::uint32_t clockLow) : next_(clockLow) {}
  std::uint32_t next() { return next_++; }

 private:
  std::uint32_t next_;
};

// Every name has been tried once after this many attempts.
constexpr std::uint32_t kWorkFolderAttempts = 0x10000;

}  // namespace tw::dispatcher
