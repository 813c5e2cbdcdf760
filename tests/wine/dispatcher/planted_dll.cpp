// A DLL planted beside a package under the names of DLLs a dispatcher
// might load: when anything loads it, it leaves a file named after itself
// in the folder TW_PLANT_MARKS names.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  char folder[MAX_PATH] = "";
  char module[MAX_PATH] = "";
  if (GetEnvironmentVariableA("TW_PLANT_MARKS", folder, sizeof folder) == 0)
    return TRUE;
  GetModuleFileNameA(instance, module, sizeof module);
  const char* name = module;
  for (const char* p = module; *p != '\0'; ++p)
    if (*p == '\\') name = p + 1;
  char mark[2 * MAX_PATH];
  wsprintfA(mark, "%s\\%s.loaded", folder, name);
  HANDLE file = CreateFileA(mark, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    DWORD written;
    WriteFile(file, module, lstrlenA(module), &written, nullptr);
    CloseHandle(file);
  }
  return TRUE;
}

// The exports a planted CABXPD32.DLL would need to be used at all.
extern "C" __declspec(dllexport) int WINAPI CreateMemoryFile(void*, DWORD, DWORD) {
  return 0;
}
extern "C" __declspec(dllexport) int WINAPI DecompressCab(char*, void*, void*, void*,
                                                          void*) {
  return 0;
}
