// Fuzzes the file checks' reader (resource data of a package) and the run
// folder rule: whatever is found must be a whole record of the data, and a
// run folder must lie directly in the temporary folder it was checked with.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/file_checks.h"
#include "common/run_folder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  for (const char* name : {"CABINET.DLL", "CABXPD32.DLL", "ZETURFD.EXE", "SIXTEEN-CHARS.XY"}) {
    tw::FileCheck check;
    if (!tw::findFileCheck(data, size, name, &check)) continue;
    if (size % tw::kFileCheckRecordSize != 0 || size == 0) std::abort();
    // The record found is one of the data's records, byte for byte.
    bool found = false;
    for (std::size_t at = 0; at < size && !found; at += tw::kFileCheckRecordSize)
      found = std::memcmp(data + at + tw::kFileCheckNameSize + 4, check.digest, tw::kSha256Size) == 0;
    if (!found) std::abort();
    (void)tw::matchesFileCheck(check, data, size);
  }
  // The same bytes as a folder and a temporary path, split at a zero.
  std::string text(reinterpret_cast<const char*>(data), size);
  std::size_t zero = text.find('\0');
  if (zero != std::string::npos) {
    std::string folder = text.substr(0, zero);
    std::string temp = text.substr(zero + 1);
    temp = temp.substr(0, temp.find('\0'));
    if (tw::isRunFolderIn(folder.c_str(), temp.c_str())) {
      std::size_t t = temp.size();
      while (t > 0 && (temp[t - 1] == '\\' || temp[t - 1] == '/')) --t;
      std::size_t f = folder.size();
      while (f > 0 && (folder[f - 1] == '\\' || folder[f - 1] == '/')) --f;
      if (t == 0 || f != t + 1 + tw::kRunFolderNameLength) std::abort();
    }
  }
  return 0;
}
