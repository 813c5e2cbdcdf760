// Error output of the binder.
#include "tools/rsrc/console.h"

#include <windows.h>

void writeError(const std::wstring& text) {
  std::wstring line = text + L"\r\n";
  HANDLE h = GetStdHandle(STD_ERROR_HANDLE);
  // A detached start leaves no handle; nothing waits for the text then.
  if (h == nullptr || h == INVALID_HANDLE_VALUE) return;
  DWORD mode = 0, written = 0;
  if (GetConsoleMode(h, &mode)) {
    WriteConsoleW(h, line.data(), DWORD(line.size()), &written, nullptr);
    return;
  }
  // Redirected: the bytes go to a file or pipe in the ANSI code page.
  int n = WideCharToMultiByte(CP_ACP, 0, line.data(), int(line.size()), nullptr, 0,
                              nullptr, nullptr);
  if (n <= 0) return;
  std::string bytes(size_t(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, line.data(), int(line.size()), &bytes[0], n,
                      nullptr, nullptr);
  WriteFile(h, bytes.data(), DWORD(bytes.size()), &written, nullptr);
}

std::wstring systemErrorText(unsigned long code, const std::wstring& subject) {
  wchar_t* buffer = nullptr;
  DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                               FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0,
                           nullptr);
  std::wstring text;
  if (n != 0 && buffer != nullptr) text.assign(buffer, n);
  if (buffer != nullptr) LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' ||
                           text.back() == L' '))
    text.pop_back();
  const size_t insert = text.find(L"%1");
  if (insert != std::wstring::npos) text.replace(insert, 2, subject);
  if (text.empty()) text = L"error " + std::to_wstring(code);
  return text;
}
