// Item table at the end of a package: layout, bounds-checked reader, writer.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tw {

// On-disk layout. A package ends with n records of 12 bytes in item order
// and the 32-bit count n; nothing else in the file points to the table.
constexpr std::uint32_t kItemRecordSize = 12;
constexpr std::uint32_t kItemRecordOffsetLow = 0;
constexpr std::uint32_t kItemRecordOffsetHigh = 4;
constexpr std::uint32_t kItemRecordLength = 8;
constexpr std::uint32_t kItemCountSize = 4;

// Fixed item positions (1-based, as the records are numbered).
constexpr std::uint32_t kItemCabinetLibrary = 1;
constexpr std::uint32_t kItemCabxpd = 2;
constexpr std::uint32_t kItemRuntimeCabinet = 3;
constexpr std::uint32_t kItemFirstComponent = 4;
// The dispatcher needs the first three items; a shorter table is no package.
constexpr std::uint32_t kItemMinimumCount = 3;

struct ItemRecord {
  std::uint64_t offset;  // absolute from the start of the package file
  std::uint32_t size;
};

enum class ItemTableError {
  ok,
  readFailed,        // the source could not deliver bytes that lie inside it
  fileTooSmall,      // not even room for the count
  countZero,
  tooFewItems,       // fewer than kItemMinimumCount records
  countTooLarge,     // the records would start before the file does
  noSuchItem,        // item number 0 or above the count
  itemOutsideFile,   // the item runs past the start of the table
};

// Random-access bytes of a package (a file, a buffer). readAt must deliver
// exactly `size` bytes or return false; the table reader only asks for
// ranges that lie inside the size it was given.
class ItemSource {
 public:
  [[nodiscard]] virtual bool readAt(std::uint64_t offset, void* buffer,
                                    std::uint32_t size) = 0;

 protected:
  ~ItemSource() = default;
};

// An ItemSource over bytes already in memory.
class MemoryItemSource final : public ItemSource {
 public:
  MemoryItemSource(const void* data, std::size_t size)
      : data_(static_cast<const std::uint8_t*>(data)), size_(size) {}
  [[nodiscard]] bool readAt(std::uint64_t offset, void* buffer,
                            std::uint32_t size) override;

 private:
  const std::uint8_t* data_;
  std::size_t size_;
};

// Where the table lies in a file of fileSize bytes.
struct ItemTableInfo {
  std::uint64_t fileSize;
  std::uint64_t tableOffset;  // first byte of record 1; items must end here
  std::uint32_t count;
};

// Reads and checks the count from the end of the file: it must be at least
// minimumCount and the records must fit in front of it.
[[nodiscard]] ItemTableError readItemTableInfo(
    ItemSource& source, std::uint64_t fileSize, ItemTableInfo* info,
    std::uint32_t minimumCount = kItemMinimumCount);

// Reads record `item` (1-based) and checks that the item lies wholly in
// front of the table, so a view of it never reaches outside the file or
// into the table.
[[nodiscard]] ItemTableError readItemRecord(ItemSource& source,
                                            const ItemTableInfo& info,
                                            std::uint32_t item,
                                            ItemRecord* record);

// Bytes the table takes for count records, the count included.
constexpr std::uint64_t itemTableSize(std::uint32_t count) {
  return std::uint64_t{count} * kItemRecordSize + kItemCountSize;
}

// Writes count records and the count into out (itemTableSize(count) bytes).
// Returns false, writing nothing, when out is too small.
[[nodiscard]] bool writeItemTable(const ItemRecord* records,
                                  std::uint32_t count, void* out,
                                  std::size_t outSize);

// A read-only view of an item: views must start on the allocation
// granularity, so the view begins lower and the data dataDelta bytes in.
struct ItemView {
  std::uint64_t viewOffset;
  std::uint64_t viewLength;
  std::uint32_t dataDelta;
};

// Fails for an empty item, a granularity of 0 or a view longer than maxViewLength (a
// 32-bit process cannot map more than its address space).
[[nodiscard]] bool planItemView(const ItemRecord& record,
                                std::uint32_t granularity,
                                std::uint64_t maxViewLength, ItemView* view);

}  // namespace tw
