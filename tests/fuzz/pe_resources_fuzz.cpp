// Fuzzes the module resource reader and writer: any bytes as a module.
// Whatever is read must survive a rewrite: the rewritten module reads back
// with the same resources, and rewriting it again changes nothing.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "common/pe_resources.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> module(data, data + size);
  std::vector<ResEntry> entries;
  if (tw::readPeResources(module, entries) != tw::PeError::kOk) return 0;
  uint32_t ms, ls;
  tw::peFixedFileVersion(module, ms, ls);
  ResEntry added;
  added.type = ResId::fromOrdinal(10);
  added.name = ResId::fromOrdinal(900);
  added.data.assign(data, data + (size < 64 ? size : 64));
  std::vector<std::uint8_t> out;
  if (tw::replacePeResources(module, {added}, out) != tw::PeError::kOk) return 0;
  std::vector<ResEntry> back;
  if (tw::readPeResources(out, back) != tw::PeError::kOk) std::abort();
  bool found = false;
  for (const ResEntry& e : back)
    if (e.type == added.type && e.name == added.name) found = found || e.data == added.data;
  if (!found) std::abort();
  std::vector<std::uint8_t> again;
  if (tw::replacePeResources(out, {added}, again) != tw::PeError::kOk || again != out) std::abort();
  return 0;
}
