// Unpacking the runtime cabinet from its view through CABXPD32.DLL.
#pragma once

#include <windows.h>

#include "dispatcher/core/work_folder.h"

namespace tw::dispatcher {

class CabinetLibrary {
 public:
  CabinetLibrary() = default;
  CabinetLibrary(const CabinetLibrary&) = delete;
  CabinetLibrary& operator=(const CabinetLibrary&) = delete;
  ~CabinetLibrary() { release(); }

  // Loads CABXPD32.DLL from the work folder by its full path. False with
  // the last error set (ERROR_PROC_NOT_FOUND for a missing export).
  [[nodiscard]] bool load(const char* workFolder);
  bool loaded() const { return module_ != nullptr; }
  void release();

  // Extracts the cabinet image: names starting with "_" into workFolder,
  // the others into its parent. lastTarget receives each target path in
  // turn, so afterwards it names the last file extracted. False with the
  // last error set.
  [[nodiscard]] bool extract(const void* image, DWORD size,
                             const char* workFolder,
                             char (&lastTarget)[kPathCapacity]);

 private:
  using CreateMemoryFileFn = int(WINAPI*)(const void*, DWORD, DWORD);
  using DecompressCabFn = int(WINAPI*)(const char*, void*, void*, void*, void*);
  HMODULE module_ = nullptr;
  CreateMemoryFileFn createMemoryFile_ = nullptr;
  DecompressCabFn decompressCab_ = nullptr;
};

}  // namespace tw::dispatcher
