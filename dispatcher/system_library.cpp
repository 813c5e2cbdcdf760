// Loading DLLs by full path, never by a name the search order could plant.
#include "dispatcher/system_library.h"

#include "dispatcher/text_buffer.h"
#include "dispatcher/work_folder.h"

namespace tw::dispatcher {

HMODULE loadSystemLibrary(const char* fileName) {
  char path[kPathCapacity];
  const UINT n = GetSystemDirectoryA(path, sizeof path);
  if (n == 0 || n >= sizeof path) return nullptr;
  if (path[n - 1] != '\\' && !appendText(path, sizeof path, "\\")) {
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return nullptr;
  }
  if (!appendText(path, sizeof path, fileName)) {
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return nullptr;
  }
  return loadLibraryFromPath(path);
}

namespace {

// Set once the platform restricts this process's DLL search to the system
// folder; LoadLibraryEx then takes the search flags below.
bool gSearchFlags = false;

template <typename Fn>
Fn kernelProc(const char* name) {
  HMODULE kernel = GetModuleHandleA("KERNEL32.DLL");
  if (kernel == nullptr) return nullptr;
  return reinterpret_cast<Fn>(
      reinterpret_cast<void*>(GetProcAddress(kernel, name)));
}

}  // namespace

HMODULE loadLibraryFromPath(const char* fullPath) {
  if (gSearchFlags)
    return LoadLibraryExA(fullPath, nullptr,
                          LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR |
                              LOAD_LIBRARY_SEARCH_SYSTEM32);
  return LoadLibraryExA(fullPath, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

void hardenDllSearch() {
  // A package is typically started from a downloads folder, which may hold
  // planted DLLs: where the platform allows it, DLLs loaded by name (also
  // by system DLLs on our behalf) come from the system folder only.
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  using SetDllDirectoryFn = BOOL(WINAPI*)(LPCSTR);
  auto setDefault =
      kernelProc<SetDefaultDllDirectoriesFn>("SetDefaultDllDirectories");
  if (setDefault != nullptr && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
    gSearchFlags = true;
    return;
  }
  // Older systems: at least the current folder leaves the search.
  auto setDllDirectory = kernelProc<SetDllDirectoryFn>("SetDllDirectoryA");
  if (setDllDirectory != nullptr) setDllDirectory("");
}

}  // namespace tw::dispatcher
