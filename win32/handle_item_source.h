// The item table's reader over an open file handle, for the runtime's
// package view and the benchmark's extractor alike.
#pragma once
#include <windows.h>

#include <cstdint>

#include "common/item_table.h"

namespace tw {

class HandleItemSource final : public ItemSource {
 public:
  explicit HandleItemSource(HANDLE file) : file_(file) {}
  bool readAt(std::uint64_t offset, void* buffer, std::uint32_t size) override {
    // SetFilePointer with the high word: the 9x family has no Ex form. A
    // low part of all ones is a valid position, told apart by the error.
    LONG high = static_cast<LONG>(offset >> 32);
    SetLastError(NO_ERROR);
    if (SetFilePointer(file_, static_cast<LONG>(offset & 0xFFFFFFFFu), &high, FILE_BEGIN) ==
            INVALID_SET_FILE_POINTER &&
        GetLastError() != NO_ERROR)
      return false;
    DWORD got = 0;
    return ReadFile(file_, buffer, size, &got, nullptr) && got == size;
  }

 private:
  HANDLE file_;
};

}  // namespace tw
