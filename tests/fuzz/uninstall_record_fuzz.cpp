// Fuzzes the uninstall record reader with a fixed component list; what it
// accepts must encode back to the same bytes.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "common/uninstall_record.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::vector<int> kList = {18, -1, 4, 0};
  tw::UninstallRecord record;
  if (tw::decodeUninstallRecord(data, size, kList, record) != tw::UninstallRecordError::ok) return 0;
  std::vector<uint8_t> again = tw::encodeUninstallRecord(record);
  uint32_t length = static_cast<uint32_t>(again.size());
  if (length > size || !std::equal(again.begin(), again.end(), data + size - length)) std::abort();
  return 0;
}
