// Binding CABXPD32.DLL.
#include "setup/cabinet_binding.h"

#include "win32/dll_search.h"

namespace tw {

bool CabinetBinding::load(const std::string& folder) {
  release();
  std::string path = folder + "\\CABXPD32.DLL";
  module_ = win32::loadLibraryFromPath(path.c_str());
  if (!module_) return false;
  createMemoryFile = reinterpret_cast<CreateMemoryFileFn>(
      reinterpret_cast<void*>(GetProcAddress(module_, "CreateMemoryFile")));
  decompressCab =
      reinterpret_cast<DecompressCabFn>(reinterpret_cast<void*>(GetProcAddress(module_, "DecompressCab")));
  if (!createMemoryFile || !decompressCab) {
    release();
    SetLastError(ERROR_PROC_NOT_FOUND);
    return false;
  }
  return true;
}

void CabinetBinding::release() {
  if (module_) FreeLibrary(module_);
  module_ = nullptr;
  createMemoryFile = nullptr;
  decompressCab = nullptr;
}

}  // namespace tw
