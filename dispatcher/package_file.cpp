// The package file of the running dispatcher: item table and item views.
#include "dispatcher/package_file.h"

namespace tw::dispatcher {

void ItemMapping::release() {
  if (view_ != nullptr) UnmapViewOfFile(view_);
  view_ = nullptr;
  data_ = nullptr;
  size_ = 0;
}

bool PackageFile::readAt(std::uint64_t offset, void* buffer,
                         std::uint32_t size) {
  LONG high = static_cast<LONG>(offset >> 32);
  SetLastError(NO_ERROR);
  const DWORD low = SetFilePointer(file_, static_cast<LONG>(offset), &high,
                                   FILE_BEGIN);
  if (low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR)
    return false;
  DWORD got = 0;
  if (!ReadFile(file_, buffer, size, &got, nullptr)) return false;
  if (got != size) {
    SetLastError(ERROR_HANDLE_EOF);
    return false;
  }
  return true;
}

bool PackageFile::open(const char* path) {
  file_ = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr,
                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file_ == INVALID_HANDLE_VALUE) return false;
  DWORD high = 0;
  SetLastError(NO_ERROR);
  const DWORD low = GetFileSize(file_, &high);
  if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return false;
  const std::uint64_t size = std::uint64_t{high} << 32 | low;
  const ItemTableError error = readItemTableInfo(*this, size, &table_);
  if (error != ItemTableError::ok) {
    // A failed read keeps the platform's code; a bad table has none.
    if (error != ItemTableError::readFailed) SetLastError(ERROR_FILE_CORRUPT);
    return false;
  }
  mapping_ = CreateFileMappingA(file_, nullptr, PAGE_READONLY, 0, 0, nullptr);
  return mapping_ != nullptr;
}

bool PackageFile::mapItem(std::uint32_t item, ItemMapping* mapping) {
  ItemRecord record;
  const ItemTableError error = readItemRecord(*this, table_, item, &record);
  if (error != ItemTableError::ok) {
    if (error != ItemTableError::readFailed) SetLastError(ERROR_FILE_CORRUPT);
    return false;
  }
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  ItemView view;
  if (!planItemView(record, info.dwAllocationGranularity, 0xFFFFFFFFu,
                    &view)) {
    SetLastError(ERROR_FILE_CORRUPT);
    return false;
  }
  void* base = MapViewOfFile(mapping_, FILE_MAP_READ,
                             static_cast<DWORD>(view.viewOffset >> 32),
                             static_cast<DWORD>(view.viewOffset),
                             static_cast<SIZE_T>(view.viewLength));
  if (base == nullptr) return false;
  mapping->release();
  mapping->view_ = base;
  mapping->data_ = static_cast<const char*>(base) + view.dataDelta;
  mapping->size_ = record.size;
  return true;
}

void PackageFile::close() {
  if (mapping_ != nullptr) CloseHandle(mapping_);
  if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
  mapping_ = nullptr;
  file_ = INVALID_HANDLE_VALUE;
}

}  // namespace tw::dispatcher
