// Reads a whole file of the binder's into memory.
#include "tools/rsrc/whole_file.h"

#include "tools/rsrc/console.h"

#include <windows.h>

bool readWholeFile(const std::wstring& path, uint32_t maxSize, const wchar_t* kind, std::vector<uint8_t>& bytes,
                   std::wstring& message) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    message = L"cannot open \"" + path + L"\": " + systemErrorText(GetLastError());
    return false;
  }
  DWORD high = 0;
  DWORD size = GetFileSize(file, &high);
  bool ok = false;
  if (size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) {
    message = L"cannot read \"" + path + L"\": " + systemErrorText(GetLastError());
  } else if (high != 0 || size > maxSize) {
    message = L"\"" + path + L"\" is too large for a " + kind;
  } else {
    bytes.resize(size);
    DWORD got = 0;
    if (size != 0 && !ReadFile(file, bytes.data(), size, &got, nullptr))
      message = L"cannot read \"" + path + L"\": " + systemErrorText(GetLastError());
    else if (got != size)
      message = L"cannot read \"" + path + L"\": file changed while reading";
    else
      ok = true;
  }
  CloseHandle(file);
  return ok;
}
