// The package file of the running dispatcher: item table and item views.
#pragma once

#include <windows.h>

#include "common/item_table.h"

namespace tw::dispatcher {

// A mapped view of one item; the view, not the data, is what is unmapped.
class ItemMapping {
 public:
  ItemMapping() = default;
  ItemMapping(const ItemMapping&) = delete;
  ItemMapping& operator=(const ItemMapping&) = delete;
  ~ItemMapping() { release(); }
  const void* data() const { return data_; }
  DWORD size() const { return size_; }
  void release();

 private:
  friend class PackageFile;
  void* view_ = nullptr;
  const void* data_ = nullptr;
  DWORD size_ = 0;
};

class PackageFile : private ItemSource {
 public:
  PackageFile() = default;
  PackageFile(const PackageFile&) = delete;
  PackageFile& operator=(const PackageFile&) = delete;
  ~PackageFile() { close(); }

  // Opens the package, reads and checks its item table and maps the whole
  // file read-only. False with the last error set: the platform's for a
  // failed call, ERROR_FILE_CORRUPT for a table that is no package's.
  [[nodiscard]] bool open(const char* path);

  // Maps item (1-based) read-only, aligned down to the allocation
  // granularity. False with the last error set.
  [[nodiscard]] bool mapItem(std::uint32_t item, ItemMapping* mapping);

  void close();

 private:
  bool readAt(std::uint64_t offset, void* buffer, std::uint32_t size) override;

  HANDLE file_ = INVALID_HANDLE_VALUE;
  HANDLE mapping_ = nullptr;
  ItemTableInfo table_{};
};

}  // namespace tw::dispatcher
