// Stand-in for the font-smoothing installer: writes its command line to
// "ran.txt" beside itself. It uses KERNEL32 alone, since the installer's
// folder on the medium also holds a msvcrt.dll.
#include <windows.h>

extern "C" void mainCRTStartup() {
  char path[MAX_PATH + 8];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  while (n > 0 && path[n - 1] != '\\') --n;
  lstrcpyA(path + n, "ran.txt");
  HANDLE f = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f != INVALID_HANDLE_VALUE) {
    const char* line = GetCommandLineA();
    DWORD written;
    WriteFile(f, line, lstrlenA(line), &written, nullptr);
    CloseHandle(f);
  }
  ExitProcess(0);
}
