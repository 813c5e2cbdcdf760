// Fuzzes the restart-schedule editors with any text and any value: the
// first bytes up to a zero name the entry to take off. An edit only ever
// removes: the result is never longer than the input, and taking off what
// is not there changes nothing.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "setup/core/engine/install_journal.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const char* text = reinterpret_cast<const char*>(data);
  std::string all(text, size);
  size_t zero = all.find('\0');
  std::string name = zero == std::string::npos ? std::string("C:\\A\\B.TX_") : all.substr(0, zero);
  std::string rest = zero == std::string::npos ? all : all.substr(zero + 1);

  std::string edited = tw::withoutRenameLine(rest, name, name);
  if (edited.size() > rest.size()) std::abort();
  if (tw::withoutRenameLine(edited, "\x01never", "\x01never") != edited) std::abort();

  std::vector<std::uint8_t> value(rest.begin(), rest.end()), out;
  bool found = tw::withoutPendingRename(value, name, out);
  if (out.empty() || out.back() != 0) std::abort();
  // The rewritten list is well formed: taking the same name off again
  // finds nothing more than the input held.
  std::vector<std::uint8_t> again;
  if (found && out.size() > value.size() + 2) std::abort();
  tw::withoutPendingRename(out, "\x01never", again);
  if (again != out) std::abort();
  return 0;
}
