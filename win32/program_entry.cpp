// The entry of a window program without a C runtime: restricts the DLL
// search, runs the static constructors, calls WinMain, then the static
// destructors, and ends the process with WinMain's result.
#include <windows.h>

#include "win32/dll_search.h"
#include "win32/lean_cxx.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show);

// The linker's script brackets the constructor table: -1, the entries, 0.
extern "C" void (*__CTOR_LIST__[])();

namespace {

void runConstructors() {
  int n = 0;
  while (__CTOR_LIST__[n + 1] != nullptr) ++n;
  // Last first, as the compiler's own start-up code does.
  for (int i = n; i >= 1; --i) __CTOR_LIST__[i]();
}

// The command line after the program's name, as WinMain receives it.
LPSTR argumentsOf(LPSTR line) {
  if (*line == '"') {
    ++line;
    while (*line != '\0' && *line != '"') ++line;
    if (*line == '"') ++line;
  } else {
    while (*line != '\0' && *line != ' ' && *line != '\t') ++line;
  }
  while (*line == ' ' || *line == '\t') ++line;
  return line;
}

}  // namespace

extern "C" void WinMainCRTStartup() {
  tw::win32::restrictDllSearch();
  runConstructors();
  STARTUPINFOA startup;
  startup.cb = sizeof startup;
  GetStartupInfoA(&startup);
  const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? startup.wShowWindow : SW_SHOWDEFAULT;
  const int result = WinMain(GetModuleHandleA(nullptr), nullptr, argumentsOf(GetCommandLineA()), show);
  tw::win32::runExitHandlers();
  ExitProcess(static_cast<UINT>(result));
}
