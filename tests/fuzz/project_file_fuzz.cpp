// Fuzzes the project reader. Whatever it accepts must write back to a file
// that reads again to the same bytes: a fixed point after one round.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "builder/project/project_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tw::ProjectDocument first;
  if (!tw::readProject(data, size, first, {}).ok()) return 0;
  std::vector<uint8_t> written = tw::writeProject(first);
  tw::ProjectDocument second;
  if (!tw::readProject(written.data(), written.size(), second, {"Deutsch"}).ok()) std::abort();
  second.ComboLanguage = first.ComboLanguage;
  if (tw::writeProject(second) != written) std::abort();
  return 0;
}
