// Entry point of CABXPD32.DLL, which links no C runtime start-up code.
#include <windows.h>

// The linker's default DLL entry name; nothing needs setting up or tearing
// down per process or thread.
extern "C" BOOL WINAPI DllMainCRTStartup(HINSTANCE, DWORD, LPVOID) {
  return TRUE;
}
