// The DLL search of every program the end user runs. Kernel32 only, no C
// runtime: the dispatcher and the folder remover link it too.
#include "win32/dll_search.h"

namespace tw::win32 {
namespace {

// Set once the platform restricts this process's DLL search to the system
// folder; LoadLibraryEx then takes the search flags below.
bool gSearchFlags = false;

FARPROC kernelProc(const char* name) {
  HMODULE kernel = GetModuleHandleA("KERNEL32.DLL");
  return kernel == nullptr ? nullptr : GetProcAddress(kernel, name);
}

}  // namespace

void restrictDllSearch() {
  // Both are looked up: neither is on the systems the programs start on
  // (9x family, NT 4.0), and a static import would keep them from loading.
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  using SetDllDirectoryFn = BOOL(WINAPI*)(LPCWSTR);
  auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
      reinterpret_cast<void*>(kernelProc("SetDefaultDllDirectories")));
  if (setDefault != nullptr && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) gSearchFlags = true;
  // Also where the above holds: a DLL loaded with the classic order (a
  // system DLL asking with LOAD_WITH_ALTERED_SEARCH_PATH) then still skips
  // the current folder.
  auto setDllDirectory = reinterpret_cast<SetDllDirectoryFn>(
      reinterpret_cast<void*>(kernelProc("SetDllDirectoryW")));
  if (setDllDirectory != nullptr) setDllDirectory(L"");
}

HMODULE loadLibraryFromPath(const char* fullPath) {
  if (gSearchFlags)
    return LoadLibraryExA(fullPath, nullptr, LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
  return LoadLibraryExA(fullPath, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

HMODULE loadSystemLibrary(const char* fileName) {
  char path[MAX_PATH + 1];
  const UINT n = GetSystemDirectoryA(path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return nullptr;
  const int name = lstrlenA(fileName);
  const bool slash = path[n - 1] != '\\';
  if (n + (slash ? 1 : 0) + name >= sizeof path) {
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return nullptr;
  }
  if (slash) lstrcatA(path, "\\");
  lstrcatA(path, fileName);
  return loadLibraryFromPath(path);
}

}  // namespace tw::win32
