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

ConsoleReporter::ConsoleReporter() : LineReporter(writeConsole) {}

}  // namespace tw
