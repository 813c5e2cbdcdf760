// The viewer's result file: UTF-8 lines, counted failures.
#pragma once
#include <windows.h>

class Report {
 public:
  explicit Report(const wchar_t* path);
  ~Report();
  Report(const Report&) = delete;
  Report& operator=(const Report&) = delete;

  // "PASS name" or "FAIL name: detail"; a failure is counted.
  void result(bool ok, const wchar_t* name, const wchar_t* detail = L"");
  // A free line, for the texts the script compares.
  void line(const wchar_t* text);
  int failures() const { return failures_; }
  bool open() const { return file_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE file_;
  int failures_ = 0;
};
