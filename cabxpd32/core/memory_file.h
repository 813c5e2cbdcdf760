// The memory pseudo-file: one registered cabinet image read in place by FDI.
#pragma once

#include <cstdint>

namespace tw::cabxpd {

// The name under which FDI opens the registered image; compared byte for
// byte, case-sensitive.
inline constexpr char kMemoryFileName[] = "\\.\\memory";

// Handle values FDI sees for the pseudo-file: slot 0 is -2, slot 1 is -3.
// Real files carry their Win32 handle, which is -1 or more.
constexpr std::intptr_t kFirstMemoryHandle = -2;
constexpr int kMemorySlots = 2;

// What the callbacks return on failure, in FDI's types.
constexpr std::intptr_t kOpenFailed = -1;
constexpr std::uint32_t kTransferFailed = 0xFFFFFFFFu;  // read and write
constexpr int kCloseFailed = -1;
constexpr std::int32_t kSeekFailed = -1;

// Flag bits of CreateMemoryFile.
constexpr std::uint32_t kRegisterImage = 1;
constexpr std::uint32_t kReleaseAfterLastClose = 2;

// The largest image served: positions travel through FDI as signed 32-bit
// values, so a larger image could not be addressed to its end.
constexpr std::uint32_t kMaxImageSize = 0x7FFFFFFFu;

bool isMemoryFileName(const char* name);

// Every handle value of -2 or below belongs to the pseudo-file; values below
// -3 were never handed out and are refused by every operation.
constexpr bool isMemoryHandle(std::intptr_t handle) {
  return handle <= kFirstMemoryHandle;
}

// The module-wide state behind CreateMemoryFile and the memory side of the
// FDI callbacks. The image belongs to the caller and is never copied; it
// must stay readable while a handle is open. Not thread-safe: one
// extraction at a time.
class MemoryFileTable {
 public:
  // constexpr so that the module-wide table needs no run-time constructor:
  // the DLL links no C runtime start-up code that would call one.
  constexpr MemoryFileTable() = default;

  // CreateMemoryFile. With kRegisterImage: refuses (0) while a handle is
  // open or when the image is too large, else replaces any earlier image and
  // takes kReleaseAfterLastClose from the flags (1). Without it: forgets the
  // image now, or after the last close when handles are open (1).
  int create(const void* image, std::uint32_t size, std::uint32_t flags);

  // Opens a handle at position 0, or kOpenFailed when no image is
  // registered or both slots are taken. The first free slot is used, so two
  // live handles never share a value even when they are not closed in the
  // reverse order of their opening.
  std::intptr_t open();

  // Copies up to count bytes from the position and advances it; a read at
  // the end gives 0. kTransferFailed for a handle that is not open or a null
  // buffer.
  std::uint32_t read(std::intptr_t handle, void* buffer, std::uint32_t count);

  // The image is read-only: always kTransferFailed.
  std::uint32_t write(std::intptr_t handle, const void* buffer,
                      std::uint32_t count);

  // 0, or kCloseFailed for a handle that is not open. Closing the last
  // handle forgets the image when the release flag is set.
  int close(std::intptr_t handle);

  // Origin 0 from the start, 1 from the position, 2 from the end; the result
  // is clamped to 0..size, stored and returned. kSeekFailed for another
  // origin or a handle that is not open, without change.
  std::int32_t seek(std::intptr_t handle, std::int32_t distance, int origin);

  // Closes whatever handles are still open, as if FDI had closed them.
  void closeAll();

  bool registered() const { return image_ != nullptr; }
  int openCount() const { return openCount_; }

 private:
  static constexpr std::int32_t kClosed = -1;

  // The slot of an open handle, or -1.
  int openSlot(std::intptr_t handle) const;
  void forget();

  const unsigned char* image_ = nullptr;
  std::uint32_t size_ = 0;
  bool release_ = false;
  int openCount_ = 0;
  std::int32_t positions_[kMemorySlots] = {kClosed, kClosed};
};

}  // namespace tw::cabxpd
