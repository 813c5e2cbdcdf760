// Reading, checking and writing the item table at the end of a package.
#include "common/item_table.h"

namespace tw {
namespace {

std::uint32_t getLe32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 |
         std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
}

void putLe32(std::uint8_t* p, std::uint32_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
  p[2] = static_cast<std::uint8_t>(v >> 16);
  p[3] = static_cast<std::uint8_t>(v >> 24);
}

}  // namespace

bool MemoryItemSource::readAt(std::uint64_t offset, void* buffer,
                              std::uint32_t size) {
  if (offset > size_ || size > size_ - offset) return false;
  auto* out = static_cast<std::uint8_t*>(buffer);
  const std::uint8_t* in = data_ + offset;
  for (std::uint32_t i = 0; i < size; ++i) out[i] = in[i];
  return true;
}

ItemTableError readItemTableInfo(ItemSource& source, std::uint64_t fileSize,
                                 ItemTableInfo* info,
                                 std::uint32_t minimumCount) {
  if (fileSize < kItemCountSize) return ItemTableError::fileTooSmall;
  std::uint8_t bytes[kItemCountSize];
  if (!source.readAt(fileSize - kItemCountSize, bytes, kItemCountSize))
    return ItemTableError::readFailed;
  const std::uint32_t count = getLe32(bytes);
  if (count == 0) return ItemTableError::countZero;
  if (count < minimumCount) return ItemTableError::tooFewItems;
  // 64-bit arithmetic: count × 12 cannot wrap, however large the count.
  if (itemTableSize(count) > fileSize) return ItemTableError::countTooLarge;
  info->fileSize = fileSize;
  info->tableOffset = fileSize - itemTableSize(count);
  info->count = count;
  return ItemTableError::ok;
}

ItemTableError readItemRecord(ItemSource& source, const ItemTableInfo& info,
                              std::uint32_t item, ItemRecord* record) {
  if (item == 0 || item > info.count) return ItemTableError::noSuchItem;
  std::uint8_t bytes[kItemRecordSize];
  const std::uint64_t at =
      info.tableOffset + std::uint64_t{item - 1} * kItemRecordSize;
  if (!source.readAt(at, bytes, kItemRecordSize))
    return ItemTableError::readFailed;
  const std::uint64_t offset =
      std::uint64_t{getLe32(bytes + kItemRecordOffsetHigh)} << 32 |
      getLe32(bytes + kItemRecordOffsetLow);
  const std::uint32_t size = getLe32(bytes + kItemRecordLength);
  // Both sides are below 2^64 and tableOffset < 2^64 - 4: no wrap.
  if (offset > info.tableOffset || size > info.tableOffset - offset)
    return ItemTableError::itemOutsideFile;
  record->offset = offset;
  record->size = size;
  return ItemTableError::ok;
}

bool writeItemTable(const ItemRecord* records, std::uint32_t count, void* out,
                    std::size_t outSize) {
  if (itemTableSize(count) > outSize) return false;
  auto* p = static_cast<std::uint8_t*>(out);
  for (std::uint32_t i = 0; i < count; ++i, p += kItemRecordSize) {
    putLe32(p + kItemRecordOffsetLow,
            static_cast<std::uint32_t>(records[i].offset));
    putLe32(p + kItemRecordOffsetHigh,
            static_cast<std::uint32_t>(records[i].offset >> 32));
    putLe32(p + kItemRecordLength, records[i].size);
  }
  putLe32(p, count);
  return true;
}

bool planItemView(const ItemRecord& record, std::uint32_t granularity,
                  std::uint64_t maxViewLength, ItemView* view) {
  // A view of length 0 would map the rest of the file, not nothing.
  if (granularity == 0 || record.size == 0) return false;
  const std::uint32_t delta =
      static_cast<std::uint32_t>(record.offset % granularity);
  const std::uint64_t length = std::uint64_t{record.size} + delta;
  if (length > maxViewLength) return false;
  view->viewOffset = record.offset - delta;
  view->viewLength = length;
  view->dataDelta = delta;
  return true;
}

}  // namespace tw
