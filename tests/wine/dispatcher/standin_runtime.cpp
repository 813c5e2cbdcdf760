// Stand-in for the runtime _SETUP.EXE: records how the dispatcher started
// it, shows itself as a running runtime (a "Setup" window), and stays until
// the test releases it, so a dispatcher that waited for it would hang.
#include <windows.h>

#include <cstdio>

namespace {

bool fileExists(const char* path) {
  return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  char log[MAX_PATH] = "", release[MAX_PATH] = "";
  GetEnvironmentVariableA("TW_STANDIN_LOG", log, sizeof log);
  GetEnvironmentVariableA("TW_STANDIN_RELEASE", release, sizeof release);
  if (log[0] == '\0') return 2;

  WNDCLASSA wc = {};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = instance;
  wc.lpszClassName = "Setup";
  RegisterClassA(&wc);
  HWND window = CreateWindowA("Setup", "stand-in", WS_POPUP, 0, 0, 10, 10,
                              nullptr, nullptr, instance, nullptr);

  char cwd[MAX_PATH] = "", module[MAX_PATH] = "";
  GetCurrentDirectoryA(sizeof cwd, cwd);
  GetModuleFileNameA(nullptr, module, sizeof module);
  FILE* f = std::fopen(log, "ab");
  if (f == nullptr) return 3;
  std::fprintf(f, "cmdline=%s\r\ncwd=%s\r\nmodule=%s\r\nwindow=%d\r\n",
               GetCommandLineA(), cwd, module, window != nullptr);
  std::fclose(f);

  // Two minutes at most: a test that never releases must not leave it on.
  for (int i = 0; i < 1200 && !(release[0] != '\0' && fileExists(release)); ++i) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    Sleep(100);
  }
  f = std::fopen(log, "ab");
  if (f != nullptr) {
    std::fprintf(f, "released\r\n");
    std::fclose(f);
  }
  return 0;
}
