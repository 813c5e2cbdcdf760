// The package file during an install run: its item table read from the
// end, and read-only views of the component cabinets mapped from it.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "common/item_table.h"

namespace tw {

class PackageView {
 public:
  PackageView() = default;
  PackageView(const PackageView&) = delete;
  PackageView& operator=(const PackageView&) = delete;
  ~PackageView() { close(); }

  // Opens the package exclusively, reads its item table and maps it. False
  // with the last error set on failure.
  bool open(const std::string& path);
  void close();

  // Maps item `item` (1-based); null when the table has no such item or the
  // item lies outside the file (the last error is ERROR_FILE_CORRUPT then).
  const void* mapItem(uint32_t item, uint32_t& size);
  // Undoes the last mapItem.
  void unmapItem();
  // The size of item `item`, 0 when the table has none.
  uint32_t itemSize(uint32_t item);

 private:
  bool record(uint32_t item, ItemRecord& out);

  HANDLE file_ = INVALID_HANDLE_VALUE;
  HANDLE mapping_ = nullptr;
  void* view_ = nullptr;
  ItemTableInfo info_{};
  uint32_t granularity_ = 65536;
};

}  // namespace tw
