// Test tool that looks at what the dispatcher shows: its progress dialog
// and its message boxes; it also starts a program with another temporary
// folder. Texts are written as the windows hold them (code page 1252).
//
//   window_probe dialog OUT SECONDS MINPOS   the progress dialog, once its
//                                            bar has reached MINPOS
//   window_probe box OUT SECONDS             the "Setup" message box's text
//   window_probe uncover SECONDS             moves that box clear of the
//                                            dialog (see uncoverBox)
//   window_probe close SECONDS               presses OK in that box
//   window_probe run TEMPDIR SECONDS PROGRAM starts PROGRAM with TEMP and
//                                            TMP set to TEMPDIR, waits
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

HWND findBox() {
  HWND box = nullptr;
  while ((box = FindWindowExA(nullptr, box, "#32770", "Setup")) != nullptr)
    if (IsWindowVisible(box)) return box;
  return nullptr;
}

HWND waitFor(HWND (*find)(), int seconds) {
  for (int i = 0; i < seconds * 10; ++i) {
    if (HWND w = find()) return w;
    Sleep(100);
  }
  return nullptr;
}

HWND findDialog() {
  HWND w = FindWindowA("SETUP_DLG", nullptr);
  return (w != nullptr && IsWindowVisible(w)) ? w : nullptr;
}

BOOL CALLBACK collectStatic(HWND child, LPARAM out) {
  char cls[32], text[2048];
  GetClassNameA(child, cls, sizeof cls);
  if (lstrcmpiA(cls, "Static") == 0 && GetWindowTextA(child, text, sizeof text) > 0)
    std::fprintf(reinterpret_cast<FILE*>(out), "text=%s\n", text);
  return TRUE;
}

int probeBox(const char* out, int seconds) {
  HWND box = waitFor(findBox, seconds);
  if (box == nullptr) return 1;
  FILE* f = std::fopen(out, "wb");
  if (f == nullptr) return 2;
  EnumChildWindows(box, collectStatic, reinterpret_cast<LPARAM>(f));
  // The owner tells whether the box stands alone (no owner).
  std::fprintf(f, "owner=%d\n", GetWindow(box, GW_OWNER) != nullptr);
  std::fclose(f);
  return 0;
}

// Under Wine without a window manager a box that opens over another window
// of its program stays undrawn on the screen while the two overlap; moved
// clear of it (to the screen's top left) it is drawn, and both can be seen.
int uncoverBox(int seconds) {
  HWND box = waitFor(findBox, seconds);
  if (box == nullptr) return 1;
  SetWindowPos(box, nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  RedrawWindow(box, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  return 0;
}

int closeBox(int seconds) {
  HWND box = waitFor(findBox, seconds);
  if (box == nullptr) return 1;
  SendMessageA(box, WM_COMMAND, IDOK, 0);
  return 0;
}

int probeDialog(const char* out, int seconds, int minPos) {
  HWND dialog = waitFor(findDialog, seconds);
  if (dialog == nullptr) return 1;
  HWND bar = GetDlgItem(dialog, 1500);
  for (int i = 0; bar != nullptr && i < seconds * 10; ++i) {
    if (static_cast<int>(SendMessageA(bar, PBM_GETPOS, 0, 0)) >= minPos) break;
    Sleep(100);
  }
  char caption[256] = "", text[1024] = "";
  GetWindowTextA(dialog, caption, sizeof caption);
  GetDlgItemTextA(dialog, 701, text, sizeof text);
  RECT r;
  GetWindowRect(dialog, &r);
  FILE* f = std::fopen(out, "wb");
  if (f == nullptr) return 2;
  std::fprintf(f, "caption=%s\ntext=%s\n", caption, text);
  std::fprintf(f, "rect=%ld %ld %ld %ld\nscreen=%d %d\n", r.left, r.top,
               r.right - r.left, r.bottom - r.top, GetSystemMetrics(SM_CXSCREEN),
               GetSystemMetrics(SM_CYSCREEN));
  // Only values that come back as results: a pointer into this process
  // means nothing to the dispatcher's, and its menus and classes are its
  // own (the screenshot shows those).
  if (bar != nullptr) {
    std::fprintf(f, "range=%d %d\npos=%d\n",
                 static_cast<int>(SendMessageA(bar, PBM_GETRANGE, TRUE, 0)),
                 static_cast<int>(SendMessageA(bar, PBM_GETRANGE, FALSE, 0)),
                 static_cast<int>(SendMessageA(bar, PBM_GETPOS, 0, 0)));
  }
  std::fprintf(f, "owner=%d\n", GetWindow(dialog, GW_OWNER) != nullptr);
  std::fclose(f);
  return 0;
}

int runWithTemp(const char* temp, int seconds, char* commandLine) {
  SetEnvironmentVariableA("TEMP", temp);
  SetEnvironmentVariableA("TMP", temp);
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi;
  if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &si, &pi))
    return 3;
  const DWORD wait = WaitForSingleObject(pi.hProcess, seconds * 1000);
  DWORD code = 124;
  if (wait == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return static_cast<int>(code);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 5 && std::strcmp(argv[1], "dialog") == 0)
    return probeDialog(argv[2], std::atoi(argv[3]), std::atoi(argv[4]));
  if (argc >= 4 && std::strcmp(argv[1], "box") == 0)
    return probeBox(argv[2], std::atoi(argv[3]));
  if (argc >= 3 && std::strcmp(argv[1], "uncover") == 0)
    return uncoverBox(std::atoi(argv[2]));
  if (argc >= 3 && std::strcmp(argv[1], "close") == 0)
    return closeBox(std::atoi(argv[2]));
  if (argc >= 5 && std::strcmp(argv[1], "run") == 0) {
    // The rest of the raw command line, after the fourth argument.
    char line[1024];
    line[0] = '\0';
    for (int i = 4; i < argc; ++i) {
      std::strncat(line, "\"", sizeof line - std::strlen(line) - 1);
      std::strncat(line, argv[i], sizeof line - std::strlen(line) - 1);
      std::strncat(line, "\" ", sizeof line - std::strlen(line) - 1);
    }
    return runWithTemp(argv[2], std::atoi(argv[3]), line);
  }
  std::fprintf(stderr, "usage: window_probe dialog|box|uncover|close|run ...\n");
  return 64;
}
