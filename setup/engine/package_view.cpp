// Reading and mapping the package file.
#include "setup/engine/package_view.h"

#include "win32/handle_item_source.h"

namespace tw {

bool PackageView::open(const std::string& path) {
  close();
  file_ = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file_ == INVALID_HANDLE_VALUE) return false;
  // GetFileSize with the high part: the 9x family has no Ex form.
  DWORD high = 0;
  SetLastError(NO_ERROR);
  const DWORD low = GetFileSize(file_, &high);
  if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return false;
  const uint64_t size = (static_cast<uint64_t>(high) << 32) | low;
  HandleItemSource source(file_);
  if (readItemTableInfo(source, size, &info_) != ItemTableError::ok) {
    SetLastError(ERROR_FILE_CORRUPT);
    return false;
  }
  mapping_ = CreateFileMappingA(file_, nullptr, PAGE_READONLY, 0, 0, nullptr);
  if (!mapping_) return false;
  SYSTEM_INFO system;
  GetSystemInfo(&system);
  granularity_ = system.dwAllocationGranularity;
  return true;
}

void PackageView::close() {
  unmapItem();
  if (mapping_) CloseHandle(mapping_);
  mapping_ = nullptr;
  if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
  file_ = INVALID_HANDLE_VALUE;
}

bool PackageView::record(uint32_t item, ItemRecord& out) {
  if (file_ == INVALID_HANDLE_VALUE) return false;
  HandleItemSource source(file_);
  return readItemRecord(source, info_, item, &out) == ItemTableError::ok;
}

uint32_t PackageView::itemSize(uint32_t item) {
  ItemRecord r;
  return record(item, r) ? r.size : 0;
}

const void* PackageView::mapItem(uint32_t item, uint32_t& size) {
  unmapItem();
  ItemRecord r;
  ItemView plan;
  if (!mapping_ || !record(item, r) || !planItemView(r, granularity_, 0x7FFF0000u, &plan)) {
    SetLastError(ERROR_FILE_CORRUPT);
    return nullptr;
  }
  view_ = MapViewOfFile(mapping_, FILE_MAP_READ, static_cast<DWORD>(plan.viewOffset >> 32),
                        static_cast<DWORD>(plan.viewOffset), static_cast<SIZE_T>(plan.viewLength));
  if (!view_) return nullptr;
  size = r.size;
  return static_cast<const char*>(view_) + plan.dataDelta;
}

void PackageView::unmapItem() {
  if (view_) UnmapViewOfFile(view_);
  view_ = nullptr;
}

}  // namespace tw
