// ZETUSUM.EXE until the runtime lands: a package made now is complete and
// starts, says that installing is not available in this build, and ends.
#include <windows.h>

extern "C" void WinMainCRTStartup() {
  MessageBoxA(nullptr, "Diese Ausgabe von Setup kann noch nicht installieren.", "Setup",
              MB_OK | MB_ICONINFORMATION);
  ExitProcess(0);
}
