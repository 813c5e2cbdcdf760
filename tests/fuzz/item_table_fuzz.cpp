// Fuzzes the item table reader: any bytes as a package file, every record
// read and its view planned; whatever is accepted must lie inside the file.
#include <cstdint>
#include <cstdlib>
#include <initializer_list>

#include "common/item_table.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tw::MemoryItemSource source(data, size);
  tw::ItemTableInfo info;
  // The runtime accepts one record, the dispatcher three; try both.
  for (std::uint32_t minimum : {1u, tw::kItemMinimumCount}) {
    if (tw::readItemTableInfo(source, size, &info, minimum) != tw::ItemTableError::ok)
      continue;
    if (info.tableOffset + tw::itemTableSize(info.count) != size) std::abort();
    // Bounded, so a huge count costs time only up to a limit.
    const std::uint32_t last = info.count < 4096 ? info.count + 1 : 4097;
    for (std::uint32_t item = 0; item <= last; ++item) {
      tw::ItemRecord record;
      if (tw::readItemRecord(source, info, item, &record) != tw::ItemTableError::ok)
        continue;
      if (item == 0 || item > info.count) std::abort();
      if (record.offset > info.tableOffset ||
          record.offset + record.size > info.tableOffset)
        std::abort();
      tw::ItemView view;
      if (tw::planItemView(record, 0x10000, 0xFFFFFFFFu, &view)) {
        if (view.viewOffset + view.dataDelta != record.offset ||
            view.viewLength != std::uint64_t{record.size} + view.dataDelta ||
            view.viewOffset % 0x10000 != 0)
          std::abort();
        // Touch the item's bytes the way a view would be read.
        volatile std::uint8_t sink = 0;
        for (std::uint64_t i = 0; i < record.size; i += 4096)
          sink = sink + data[record.offset + i];
        (void)sink;
      }
    }
  }
  return 0;
}
