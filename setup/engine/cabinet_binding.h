// CABXPD32.DLL bound for one install run: loaded by its full path from the
// runtime's own folder, never found through the search path.
#pragma once
#include <windows.h>

#include <string>

namespace tw {

class CabinetBinding {
 public:
  using CreateMemoryFileFn = int(WINAPI*)(const void*, DWORD, DWORD);
  using DecompressCabFn = int(WINAPI*)(const char*, void*, void*, void*, void*);

  CabinetBinding() = default;
  CabinetBinding(const CabinetBinding&) = delete;
  CabinetBinding& operator=(const CabinetBinding&) = delete;
  ~CabinetBinding() { release(); }

  // False with the last error set when the library or an entry is missing.
  bool load(const std::string& folder);
  void release();

  CreateMemoryFileFn createMemoryFile = nullptr;
  DecompressCabFn decompressCab = nullptr;

 private:
  HMODULE module_ = nullptr;
};

}  // namespace tw
