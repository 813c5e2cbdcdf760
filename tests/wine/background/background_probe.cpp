// Test tool that runs the background window on a resource DLL as the
// runtime does and reports what a screenshot alone cannot tell.
//
//   background_probe DLL REPORT SECONDS
//
// Writes to REPORT: the client area in screen coordinates, window style
// facts, the system's 3D dark shadow colour, the text extent of a text
// title, what a caption hit test gives, whether the colours-changed hook
// runs on WM_SYSCOLORCHANGE, then "shown" once the window is
// painted. The start timer runs once REPORT.go exists ("ticked" when the
// first tick's hook ran). Once REPORT.quit exists the probe closes the
// window while a stand-in page is current (that page must get Cancel and
// the window must stay), then again without a page, which ends the loop.
// Exit codes: 0 ended by the window's destruction, 2 DLL not loaded,
// 3 window not created, 4 out of time.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "setup/background/background_window.h"

namespace {

struct Probe {
  const char* report = nullptr;
  char goFile[MAX_PATH] = {};
  char quitFile[MAX_PATH] = {};
  tw::BackgroundWindow window;
  HWND page = nullptr;
  bool started = false;
  bool closing = false;
  DWORD deadline = 0;
};
Probe probe;

void note(const char* format, int a = 0, int b = 0, int c = 0, int d = 0) {
  FILE* f = std::fopen(probe.report, "a");
  if (f == nullptr) return;
  std::fprintf(f, format, a, b, c, d);
  std::fputc('\n', f);
  std::fclose(f);
}

bool exists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

void onFirstTick(void*) { note("ticked"); }
void onColoursChanged(void*) { note("colours-changed"); }

LRESULT CALLBACK pageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && LOWORD(wParam) == 2) {
    note("page-cancel=1");
    probe.window.setCurrentPage(nullptr);
    PostMessageA(probe.window.hwnd(), WM_CLOSE, 0, 0);
    return 0;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

void CALLBACK poll(HWND, UINT, UINT_PTR, DWORD) {
  if (!probe.started && exists(probe.goFile)) {
    probe.started = true;
    note("timer=%d", probe.window.startTimer() ? 1 : 0);
  }
  if (!probe.closing && exists(probe.quitFile)) {
    probe.closing = true;
    probe.page = CreateWindowA("ProbePage", "page", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    probe.window.setCurrentPage(probe.page);
    SendMessageA(probe.window.hwnd(), WM_CLOSE, 0, 0);
    note("close-kept=%d", IsWindow(probe.window.hwnd()) ? 1 : 0);
  }
  if (GetTickCount() - probe.deadline < 0x80000000u) PostQuitMessage(4);
}

void reportWindow() {
  HWND hwnd = probe.window.hwnd();
  RECT client;
  GetClientRect(hwnd, &client);
  POINT origin = {0, 0};
  ClientToScreen(hwnd, &origin);
  note("client=%d %d %d %d", origin.x, origin.y, client.right, client.bottom);
  LONG style = GetWindowLongA(hwnd, GWL_STYLE), exStyle = GetWindowLongA(hwnd, GWL_EXSTYLE);
  note("maximizebox=%d topmost=%d maximized=%d", (style & WS_MAXIMIZEBOX) ? 1 : 0,
       (exStyle & WS_EX_TOPMOST) ? 1 : 0, IsZoomed(hwnd) ? 1 : 0);
  COLORREF shadow = GetSysColor(COLOR_3DDKSHADOW);
  note("shadow=%02X%02X%02X", GetRValue(shadow), GetGValue(shadow), GetBValue(shadow));

  // A point in the middle of the caption.
  RECT frame;
  GetWindowRect(hwnd, &frame);
  LPARAM at = MAKELPARAM((frame.left + frame.right) / 2, origin.y - GetSystemMetrics(SM_CYCAPTION) / 2);
  note("hit=%d defhit=%d", static_cast<int>(SendMessageA(hwnd, WM_NCHITTEST, 0, at)),
       static_cast<int>(DefWindowProcA(hwnd, WM_NCHITTEST, 0, at)));
  SendMessageA(hwnd, WM_SYSCOLORCHANGE, 0, 0);
}

// The title's extent measured here with the font the title is to have.
void reportTitleExtent(HMODULE dll) {
  tw::BackgroundSettings s = tw::readBackgroundSettings(tw::ModuleResources(dll));
  if (s.title != tw::TitleKind::text) return;
  HFONT font = CreateFontA(s.titleHeight, 0, 0, 0, 700, TRUE, FALSE, FALSE, ANSI_CHARSET, 0, 0, 0, 0,
                           "Times New Roman");
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  SIZE extent = {0, 0};
  GetTextExtentPoint32A(dc, s.titleText.c_str(), static_cast<int>(s.titleText.size()), &extent);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  DeleteObject(font);
  note("titleext=%d %d", extent.cx, extent.cy);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) return 1;
  probe.report = argv[2];
  std::snprintf(probe.goFile, sizeof probe.goFile, "%s.go", probe.report);
  std::snprintf(probe.quitFile, sizeof probe.quitFile, "%s.quit", probe.report);
  probe.deadline = GetTickCount() + static_cast<DWORD>(std::atoi(argv[3])) * 1000;

  HMODULE dll = LoadLibraryA(argv[1]);
  if (dll == nullptr) return 2;
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA page = {};
  page.lpfnWndProc = pageProc;
  page.hInstance = instance;
  page.lpszClassName = "ProbePage";
  if (!tw::BackgroundWindow::registerClass(instance) || !RegisterClassA(&page)) return 3;
  tw::BackgroundHooks hooks;
  hooks.firstTick = onFirstTick;
  hooks.coloursChanged = onColoursChanged;
  if (!probe.window.create(instance, dll, hooks)) return 3;
  probe.window.show();
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  reportWindow();
  reportTitleExtent(dll);
  GdiFlush();
  note("shown");

  SetTimer(nullptr, 0, 100, poll);
  int rc = 4;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  if (msg.message == WM_QUIT) rc = static_cast<int>(msg.wParam);
  if (rc == 0) note("ended");
  return rc;
}
