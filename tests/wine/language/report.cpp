// The viewer's result file: UTF-8 lines, counted failures.
#include "report.h"

Report::Report(const wchar_t* path)
    : file_(CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                        FILE_ATTRIBUTE_NORMAL, nullptr)) {}

Report::~Report() {
  if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
}

void Report::line(const wchar_t* text) {
  if (file_ == INVALID_HANDLE_VALUE) return;
  char buffer[8192];
  int bytes = WideCharToMultiByte(CP_UTF8, 0, text, -1, buffer, sizeof buffer - 2, nullptr, nullptr);
  if (bytes <= 0) return;
  buffer[bytes - 1] = '\n';
  DWORD written = 0;
  WriteFile(file_, buffer, bytes, &written, nullptr);
}

void Report::result(bool ok, const wchar_t* name, const wchar_t* detail) {
  wchar_t text[2048];
  if (ok) {
    wsprintfW(text, L"PASS %s", name);
  } else {
    ++failures_;
    wsprintfW(text, L"FAIL %s: %s", name, detail);
  }
  line(text);
}
