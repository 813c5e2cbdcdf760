// UTF-8 output of the UI driver on stdout and stderr.
#include "console_out.h"

#include <stdarg.h>

namespace {

void writeUtf8(DWORD which, const wchar_t* text, bool newline) {
  HANDLE h = GetStdHandle(which);
  if (h == INVALID_HANDLE_VALUE || h == nullptr) return;
  int wide = lstrlenW(text);
  if (wide > 0) {
    int bytes = WideCharToMultiByte(CP_UTF8, 0, text, wide, nullptr, 0, nullptr, nullptr);
    char* buf = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, bytes > 0 ? bytes : 1));
    if (buf) {
      WideCharToMultiByte(CP_UTF8, 0, text, wide, buf, bytes, nullptr, nullptr);
      DWORD done = 0;
      WriteFile(h, buf, static_cast<DWORD>(bytes), &done, nullptr);
      HeapFree(GetProcessHeap(), 0, buf);
    }
  }
  if (newline) {
    // A bare LF: the reader is a Unix shell, not a Windows console.
    DWORD done = 0;
    WriteFile(h, "\n", 1, &done, nullptr);
  }
}

void vprint(DWORD which, const wchar_t* format, va_list args) {
  wchar_t line[1025];
  wvsprintfW(line, format, args);
  writeUtf8(which, line, true);
}

}  // namespace

void writeOut(const wchar_t* text) { writeUtf8(STD_OUTPUT_HANDLE, text, false); }
void writeOutLine(const wchar_t* text) { writeUtf8(STD_OUTPUT_HANDLE, text, true); }
void writeErrLine(const wchar_t* text) { writeUtf8(STD_ERROR_HANDLE, text, true); }

void printOut(const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  vprint(STD_OUTPUT_HANDLE, format, args);
  va_end(args);
}

void printErr(const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  vprint(STD_ERROR_HANDLE, format, args);
  va_end(args);
}
