// The system DLLs beyond KERNEL32 are not imported by the programs the end
// user runs: a DLL imported at start is found by the search order before
// the program could restrict it, and a system DLL's own imports with it
// (a planted VERSION.DLL beside the program, for instance). Their functions
// are bound on first call instead (import libraries made by the build from
// the allow-list, win32/delay_library.py), and the DLL comes by its full
// path from the system folder, after the search has been restricted.
#include <windows.h>

#include "win32/dll_search.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

// A delay-load descriptor with addresses relative to the image.
struct DelayDescriptor {
  DWORD attributes;
  DWORD dllName;
  DWORD moduleHandle;
  DWORD addressTable;
  DWORD nameTable;
  DWORD boundTable;
  DWORD unloadTable;
  DWORD timeStamp;
};

template <typename T>
T* atRva(DWORD rva) {
  return reinterpret_cast<T*>(reinterpret_cast<char*>(&__ImageBase) + rva);
}

[[noreturn]] void missing(const char* dll, const char* function) {
  // The loader's own message for a missing import, which this takes the
  // place of, names the DLL and the function too. Kernel32 only here.
  char text[160];
  lstrcpynA(text, dll, 64);
  lstrcatA(text, ": ");
  lstrcpynA(text + lstrlenA(text), function, 64);
  FatalAppExitA(0, text);
  ExitProcess(3);
}

}  // namespace

// Called by the thunk of a function not yet bound, with the function's
// entry in the name table: binds it (every later call goes straight to it)
// and returns its address.
extern "C" FARPROC WINAPI twBindDelayImport(const DelayDescriptor* descriptor, const DWORD* nameEntry) {
  const char* dll = atRva<const char>(descriptor->dllName);
  auto* module = atRva<HMODULE>(descriptor->moduleHandle);
  if (*module == nullptr) {
    HMODULE loaded = tw::win32::loadSystemLibrary(dll);
    if (loaded == nullptr) missing(dll, "LoadLibrary");
    *module = loaded;
  }
  // The address table runs parallel to the name table.
  const DWORD index = static_cast<DWORD>(nameEntry - atRva<DWORD>(descriptor->nameTable));
  FARPROC* slot = atRva<FARPROC>(descriptor->addressTable) + index;
  const DWORD entry = *nameEntry;
  const char* name = IMAGE_SNAP_BY_ORDINAL32(entry) ? MAKEINTRESOURCEA(IMAGE_ORDINAL32(entry))
                                                     : atRva<IMAGE_IMPORT_BY_NAME>(entry)->Name;
  FARPROC function = GetProcAddress(*module, name);
  if (function == nullptr) missing(dll, IMAGE_SNAP_BY_ORDINAL32(entry) ? "#" : name);
  *slot = function;
  return function;
}

// The build's delay-load descriptors lie in sections .rdata$dlyd_b (one
// per DLL, sorted together by the linker); these bracket them so that the
// build can enter them as the image's delay-load directory, where tools
// that read imports find them. The end is a descriptor of zeros, as the
// directory's format asks.
__asm__(
    ".section .rdata$dlyd_a,\"dr\"\n"
    ".p2align 2\n"
    ".globl __twDelayDescriptorsStart\n"
    "__twDelayDescriptorsStart:\n"
    ".section .rdata$dlyd_c,\"dr\"\n"
    ".p2align 2\n"
    ".fill 32,1,0\n"
    ".globl __twDelayDescriptorsEnd\n"
    "__twDelayDescriptorsEnd:\n"
    ".text\n");
