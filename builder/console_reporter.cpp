// Console output for the command-line build.
#include "builder/console_reporter.h"

#include <windows.h>

#include "common/cp1252.h"

namespace tw {
namespace {

HANDLE outputHandle(bool toError) {
  static bool attached = false;
  HANDLE h = GetStdHandle(toError ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
  if ((h == nullptr || h == INVALID_HANDLE_VALUE) && !attached) {
    // A GUI program started from a console writes to its parent's console.
    attached = true;
    if (AttachConsole(ATTACH_PARENT_PROCESS)) h = GetStdHandle(toError ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
  }
  return h;
}

}  // namespace

void writeConsole(bool toError, const std::string& text) {
  HANDLE h = outputHandle(toError);
  if (h == nullptr || h == INVALID_HANDLE_VALUE) return;
  DWORD mode, done;
  if (GetConsoleMode(h, &mode)) {
    std::u16string wide = cp1252ToUtf16(text);
    WriteConsoleW(h, wide.data(), static_cast<DWORD>(wide.size()), &done, nullptr);
  } else {
    WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &done, nullptr);
  }
}

ConsoleReporter::ConsoleReporter() = default;

void ConsoleReporter::progress(const std::string* text, int percent) {
  // One line per percentage value, with the latest step text: a line for
  // every compressed file would cost more than compressing small files.
  bool newStep = text && *text != step_ && percent >= 0;
  if (text) step_ = *text;
  if (percent < 0 || (percent == percent_ && !newStep)) return;
  percent_ = percent;
  if (!step_.empty()) writeConsole(false, step_ + " " + std::to_string(percent_) + "%\r\n");
}

void ConsoleReporter::message(const std::string& text, const std::string& caption, MessageIcon icon) {
  std::string line = text;
  for (size_t at; (at = line.find("\r\n")) != std::string::npos;) line.replace(at, 2, "\n");
  for (size_t at = 0; (at = line.find('\n', at)) != std::string::npos; at += 2) line.replace(at, 1, "\r\n");
  writeConsole(true, line + "\r\n");
}

}  // namespace tw
