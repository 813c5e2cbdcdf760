// The memory pseudo-file: one registered cabinet image read in place by FDI.
#include "cabxpd32/core/memory_file.h"

#include <cstring>

namespace tw::cabxpd {

bool isMemoryFileName(const char* name) {
  if (name == nullptr) return false;
  const char* expected = kMemoryFileName;
  while (*expected != '\0' && *name == *expected) {
    ++name;
    ++expected;
  }
  return *name == '\0' && *expected == '\0';
}

int MemoryFileTable::create(const void* image, std::uint32_t size,
                            std::uint32_t flags) {
  if ((flags & kRegisterImage) == 0) {
    if (openCount_ == 0) {
      forget();
    } else {
      release_ = true;
    }
    return 1;
  }
  if (openCount_ != 0 || size > kMaxImageSize) return 0;
  for (std::int32_t& position : positions_) position = kClosed;
  image_ = static_cast<const unsigned char*>(image);
  size_ = image_ != nullptr ? size : 0;
  release_ = (flags & kReleaseAfterLastClose) != 0;
  return 1;
}

std::intptr_t MemoryFileTable::open() {
  if (image_ == nullptr) return kOpenFailed;
  for (int slot = 0; slot < kMemorySlots; ++slot) {
    if (positions_[slot] == kClosed) {
      positions_[slot] = 0;
      ++openCount_;
      return kFirstMemoryHandle - slot;
    }
  }
  return kOpenFailed;
}

int MemoryFileTable::openSlot(std::intptr_t handle) const {
  if (handle > kFirstMemoryHandle ||
      handle <= kFirstMemoryHandle - kMemorySlots) {
    return -1;
  }
  const int slot = static_cast<int>(kFirstMemoryHandle - handle);
  return positions_[slot] == kClosed ? -1 : slot;
}

std::uint32_t MemoryFileTable::read(std::intptr_t handle, void* buffer,
                                    std::uint32_t count) {
  const int slot = openSlot(handle);
  if (slot < 0 || buffer == nullptr) return kTransferFailed;
  // Positions never pass the size, so the rest cannot wrap; comparing the
  // count with it (not position + count with the size) stays right for
  // counts near 4 GB.
  const std::uint32_t position = static_cast<std::uint32_t>(positions_[slot]);
  const std::uint32_t rest = size_ - position;
  if (count > rest) count = rest;
  if (count != 0) std::memcpy(buffer, image_ + position, count);
  positions_[slot] = static_cast<std::int32_t>(position + count);
  return count;
}

std::uint32_t MemoryFileTable::write(std::intptr_t, const void*,
                                     std::uint32_t) {
  return kTransferFailed;
}

int MemoryFileTable::close(std::intptr_t handle) {
  const int slot = openSlot(handle);
  if (slot < 0) return kCloseFailed;
  positions_[slot] = kClosed;
  --openCount_;
  if (openCount_ == 0 && release_) forget();
  return 0;
}

std::int32_t MemoryFileTable::seek(std::intptr_t handle, std::int32_t distance,
                                   int origin) {
  const int slot = openSlot(handle);
  if (slot < 0) return kSeekFailed;
  // 64 bits: position or size plus a distance near the 32-bit limits must
  // clamp, not wrap.
  std::int64_t target;
  switch (origin) {
    case 0: target = distance; break;
    case 1: target = std::int64_t{positions_[slot]} + distance; break;
    case 2: target = std::int64_t{size_} + distance; break;
    default: return kSeekFailed;
  }
  if (target < 0) target = 0;
  if (target > std::int64_t{size_}) target = size_;
  positions_[slot] = static_cast<std::int32_t>(target);
  return positions_[slot];
}

void MemoryFileTable::closeAll() {
  for (int slot = 0; slot < kMemorySlots; ++slot) {
    if (positions_[slot] != kClosed) close(kFirstMemoryHandle - slot);
  }
}

void MemoryFileTable::forget() {
  image_ = nullptr;
  size_ = 0;
  release_ = false;
}

}  // namespace tw::cabxpd
