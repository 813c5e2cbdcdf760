// Reading VS_FIXEDFILEINFO of a file.
#include "setup/engine/file_version_reader.h"

#include <windows.h>

#include <vector>

namespace tw {
namespace {

using SizeFn = DWORD(WINAPI*)(LPCSTR, LPDWORD);
using InfoFn = BOOL(WINAPI*)(LPCSTR, DWORD, DWORD, LPVOID);
using QueryFn = BOOL(WINAPI*)(LPCVOID, LPCSTR, LPVOID*, PUINT);

struct VersionLibrary {
  SizeFn size = nullptr;
  InfoFn info = nullptr;
  QueryFn query = nullptr;
  VersionLibrary() {
    char path[MAX_PATH + 16];
    UINT n = GetSystemDirectoryA(path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return;
    lstrcatA(path, "\\VERSION.DLL");
    HMODULE module = LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!module) return;
    size = reinterpret_cast<SizeFn>(reinterpret_cast<void*>(GetProcAddress(module, "GetFileVersionInfoSizeA")));
    info = reinterpret_cast<InfoFn>(reinterpret_cast<void*>(GetProcAddress(module, "GetFileVersionInfoA")));
    query = reinterpret_cast<QueryFn>(reinterpret_cast<void*>(GetProcAddress(module, "VerQueryValueA")));
  }
};

}  // namespace

std::optional<FileVersionPair> readFileVersion(const std::string& path) {
  static VersionLibrary library;
  if (!library.size || !library.info || !library.query) return std::nullopt;
  DWORD ignored = 0;
  DWORD size = library.size(path.c_str(), &ignored);
  if (!size) return std::nullopt;
  std::vector<char> block(size);
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (!library.info(path.c_str(), 0, size, block.data()) ||
      !library.query(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length) || !fixed ||
      length < sizeof *fixed)
    return std::nullopt;
  return FileVersionPair{fixed->dwFileVersionMS, fixed->dwFileVersionLS};
}

}  // namespace tw
