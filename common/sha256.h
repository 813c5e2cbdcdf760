// SHA-256 (FIPS 180-4), free of any library call, so that the dispatcher
// and the folder remover, which link no C runtime, use it as the builder and
// the runtime do.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tw {

constexpr std::size_t kSha256Size = 32;

class Sha256 {
 public:
  Sha256() { reset(); }
  void reset();
  void update(const void* data, std::size_t size);
  // Writes the digest; the object must be reset before it is used again.
  void finish(std::uint8_t (&digest)[kSha256Size]);

 private:
  void block(const std::uint8_t* p);
  std::uint32_t state_[8];
  std::uint8_t buffer_[64];
  std::uint32_t buffered_;
  std::uint64_t length_;
};

void sha256(const void* data, std::size_t size, std::uint8_t (&digest)[kSha256Size]);

// Equality without an early exit.
bool sameDigest(const std::uint8_t* a, const std::uint8_t* b);

}  // namespace tw
