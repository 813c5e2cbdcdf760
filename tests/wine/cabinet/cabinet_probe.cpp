// Says which CABINET.DLL the process loaded: linked against our import
// library, it prints the module's path and its version description.
//   cabinet_probe
#include <windows.h>

#include <fdi.h>

#include <cstdio>
#include <vector>

int main() {
  // A call through the import makes the loader bind the library.
  ERF erf = {};
  HFDI fdi = FDICreate(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, cpuUNKNOWN, &erf);
  if (fdi) FDIDestroy(fdi);
  HMODULE module = GetModuleHandleA("CABINET.DLL");
  char path[MAX_PATH] = {};
  if (!module || !GetModuleFileNameA(module, path, MAX_PATH)) {
    std::printf("no CABINET.DLL loaded\n");
    return 1;
  }
  std::printf("path=%s\n", path);
  DWORD ignored = 0, size = GetFileVersionInfoSizeA(path, &ignored);
  std::vector<char> info(size ? size : 1);
  char* text = nullptr;
  UINT length = 0;
  if (size && GetFileVersionInfoA(path, 0, size, info.data()) &&
      VerQueryValueA(info.data(), "\\StringFileInfo\\040904E4\\FileDescription",
                     reinterpret_cast<void**>(&text), &length))
    std::printf("description=%s\n", text);
  else
    std::printf("description=\n");
  return 0;
}
