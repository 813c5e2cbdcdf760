// Fuzz target: the resource file reader, and writer round trips of what it accepts.
#include "common/res_file.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<ResEntry> entries;
  if (readResFile(data, size, entries) != ResError::kOk) return 0;
  // Whatever was accepted must be written and read back as the same entries.
  std::vector<uint8_t> again;
  if (writeResFile(entries, again) != ResError::kOk) abort();
  std::vector<ResEntry> back;
  if (readResFile(again.data(), again.size(), back) != ResError::kOk) abort();
  if (back.size() != entries.size()) abort();
  for (size_t i = 0; i < back.size(); ++i) {
    const ResEntry& a = entries[i];
    const ResEntry& b = back[i];
    if (a.type != b.type || a.name != b.name || a.data != b.data ||
        a.dataVersion != b.dataVersion || a.memoryFlags != b.memoryFlags ||
        a.language != b.language || a.version != b.version ||
        a.characteristics != b.characteristics)
      abort();
  }
  return 0;
}
