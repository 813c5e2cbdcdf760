// ZETUSUM.DLL: the default base of a package's resource DLL. It carries no
// code of its own; the build binds the install profile and the language
// module's resources into a copy of it.
#include <windows.h>

extern "C" BOOL WINAPI DllMainCRTStartup(HINSTANCE, DWORD, LPVOID) { return TRUE; }
