// What an attacker would put in the place of a file the installer loads or
// starts from the temporary folder: built as a program (for ZETURFD.EXE)
// and as a DLL (for CABXPD32.DLL). Whenever it runs it leaves
// C:\planted-NAME.ran, NAME being its own file name.
#include <windows.h>

namespace {

void leaveMark(HMODULE module) {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(module, path, sizeof path);
  const char* name = path;
  for (const char* p = path; *p != '\0'; ++p)
    if (*p == '\\') name = p + 1;
  char mark[MAX_PATH + 32];
  wsprintfA(mark, "C:\\planted-%s.ran", name);
  HANDLE file = CreateFileA(mark, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  const char* line = GetCommandLineA();
  WriteFile(file, line, lstrlenA(line), &written, nullptr);
  CloseHandle(file);
}

}  // namespace

#ifdef TW_PLANTED_DLL
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) leaveMark(instance);
  return TRUE;
}
extern "C" __declspec(dllexport) int WINAPI CreateMemoryFile(void*, DWORD, DWORD) { return 1; }
extern "C" __declspec(dllexport) int WINAPI DecompressCab(void*, void*, void*, void*, void*) { return 1; }
#else
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  leaveMark(nullptr);
  return 0;
}
#endif
