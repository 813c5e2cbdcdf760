// rsrc "TARGET" "FILE.RES": binds every resource of a resource file into a module.
//
// The builder starts this program detached, without a console, and waits for
// it without a time limit; so it never shows a window or asks anything, and
// reports through stderr (when there is one) and its exit code:
// 0 bound, 1 failed (the module is then unchanged), 2 wrong command line.
#include "common/res_file.h"
#include "tools/rsrc/binder.h"
#include "tools/rsrc/console.h"
#include "tools/rsrc/whole_file.h"

#include <windows.h>

#include <string>
#include <vector>

namespace {

constexpr int kExitBound = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

// Resource files come from the builder and stay small; anything larger
// than this is not one.
constexpr DWORD kMaxResFileSize = 256u * 1024 * 1024;

std::wstring widen(const char* text) {
  std::wstring out;
  while (*text != '\0') out.push_back(wchar_t(uint8_t(*text++)));
  return out;
}

int run(int argc, wchar_t** argv) {
  if (argc != 3 || argv[1][0] == L'\0' || argv[2][0] == L'\0') {
    // The line as it arrived: when a starter's paths go missing, this shows
    // whether they were ever on it.
    writeError(L"usage: rsrc \"TARGET\" \"FILE.RES\"\r\nrsrc: command line was: " +
               std::wstring(GetCommandLineW()));
    return kExitUsage;
  }
  const std::wstring target = argv[1];
  const std::wstring resPath = argv[2];
  std::wstring message;
  std::vector<uint8_t> bytes;
  if (!readWholeFile(resPath, kMaxResFileSize, L"resource file", bytes, message)) {
    writeError(L"rsrc: " + message);
    return kExitFailed;
  }
  std::vector<ResEntry> entries;
  ResError error = readResFile(bytes.data(), bytes.size(), entries);
  if (error != ResError::kOk) {
    std::wstring where;
    if (error != ResError::kNoEmptyEntry)
      where = L" (entry " + std::to_wstring(entries.size() + 1) + L")";
    writeError(L"rsrc: \"" + resPath + L"\" is damaged: " + widen(resErrorText(error)) +
               where);
    return kExitFailed;
  }
  std::wstring warnings;
  const bool bound = bindResources(target, entries, message, warnings);
  if (!warnings.empty()) writeError(warnings.substr(0, warnings.size() - 1));
  if (!bound) {
    writeError(L"rsrc: " + message);
    return kExitFailed;
  }
  return kExitBound;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  // No critical-error or fault dialog may stop a builder that waits for us.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  return run(argc, argv);
}
