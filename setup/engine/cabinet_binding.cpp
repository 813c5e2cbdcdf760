// Binding CABXPD32.DLL.
#include "setup/engine/cabinet_binding.h"

#include "setup/main/run_files.h"
#include "win32/dll_search.h"

namespace tw {

bool CabinetBinding::load(const std::string& folder) {
  release();
  std::string path = folder + "\\CABXPD32.DLL";
  // Both libraries (CABXPD32.DLL imports CABINET.DLL from its folder) are
  // compared with the checks the builder bound and held unchangeable until
  // the loader has them: a file put in their place since the dispatcher
  // wrote them is never loaded.
  HeldFile cabinet, cabxpd;
  if (!holdCheckedFile(folder + "\\CABINET.DLL", "CABINET.DLL", cabinet) ||
      !holdCheckedFile(path, "CABXPD32.DLL", cabxpd))
    return false;
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
