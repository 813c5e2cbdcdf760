// Probe program for the Wine harness: a window with large text and a button that ends with a chosen exit code.
//
//   hello.exe [--exit N] [--seconds N] [--text TEXT] [--out FILE] [more arguments...]
//
// It closes on WM_CLOSE, on its button, or when --seconds run out, and always
// ends with the --exit code. With --out it writes, as UTF-8 lines: the raw
// command line, every argument, the Windows version it sees, and, once the
// window has painted, the screen centre of its button followed by "ready".
#include <windows.h>
#include <shellapi.h>

namespace {

constexpr wchar_t kClassName[] = L"TwHarnessHello";
constexpr int kButtonId = 100;
constexpr UINT_PTR kCloseTimer = 1;

struct HelloState {
  int exitCode = 0;
  const wchar_t* text = L"Hello from the Wine harness";
  const wchar_t* outPath = nullptr;
  HFONT bigFont = nullptr;
  HFONT buttonFont = nullptr;
  HWND button = nullptr;
  bool reported = false;
};

// Appends UTF-8 text to the report file; the file is opened per write so a
// reader never sees a half-written report while the program is still up.
void appendUtf8(const wchar_t* path, const wchar_t* text) {
  if (!path) return;
  HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  int bytes = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (bytes > 1) {
    char* buffer = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, bytes));
    if (buffer) {
      WideCharToMultiByte(CP_UTF8, 0, text, -1, buffer, bytes, nullptr, nullptr);
      DWORD written = 0;
      WriteFile(file, buffer, bytes - 1, &written, nullptr);
      HeapFree(GetProcessHeap(), 0, buffer);
    }
  }
  CloseHandle(file);
}

void appendLine(const wchar_t* path, const wchar_t* key, const wchar_t* value) {
  appendUtf8(path, key);
  appendUtf8(path, value);
  appendUtf8(path, L"\n");
}

int parseNumber(const wchar_t* s) {
  int sign = 1, value = 0;
  if (*s == L'-') { sign = -1; ++s; }
  while (*s >= L'0' && *s <= L'9') value = value * 10 + (*s++ - L'0');
  return sign * value;
}

void reportStart(const HelloState& state, int argc, wchar_t** argv) {
  if (!state.outPath) return;
  DeleteFileW(state.outPath);
  appendLine(state.outPath, L"cmdline=", GetCommandLineW());
  for (int i = 1; i < argc; ++i) appendLine(state.outPath, L"arg=", argv[i]);
  // The top bit of the version value tells the 9x family from NT.
  DWORD version = GetVersion();
  wchar_t line[64];
  wsprintfW(line, L"%u.%u %s", LOBYTE(LOWORD(version)), HIBYTE(LOWORD(version)),
            (version & 0x80000000u) ? L"9x" : L"nt");
  appendLine(state.outPath, L"version=", line);
}

void reportReady(HelloState& state) {
  if (state.reported) return;
  state.reported = true;
  RECT rc;
  GetWindowRect(state.button, &rc);
  wchar_t line[64];
  wsprintfW(line, L"%d %d", (rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
  appendLine(state.outPath, L"button=", line);
  appendUtf8(state.outPath, L"ready\n");
}

void onPaint(HWND hwnd, HelloState& state) {
  PAINTSTRUCT ps;
  HDC hdc = BeginPaint(hwnd, &ps);
  RECT client;
  GetClientRect(hwnd, &client);
  FillRect(hdc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  // A band of one exact colour lets a test find the window on a screenshot.
  RECT band = {0, 0, client.right, 16};
  HBRUSH blue = CreateSolidBrush(RGB(0, 70, 160));
  FillRect(hdc, &band, blue);
  DeleteObject(blue);
  HGDIOBJ old = SelectObject(hdc, state.bigFont);
  SetBkMode(hdc, TRANSPARENT);
  SetTextColor(hdc, RGB(0, 0, 0));
  RECT textRect = {20, 40, client.right - 20, client.bottom - 90};
  DrawTextW(hdc, state.text, -1, &textRect, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
  SelectObject(hdc, old);
  EndPaint(hwnd, &ps);
}

LRESULT CALLBACK helloProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  HelloState* state = reinterpret_cast<HelloState*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  switch (msg) {
  case WM_NCCREATE: {
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    break;
  }
  case WM_CREATE: {
    RECT client;
    GetClientRect(hwnd, &client);
    state->button = CreateWindowW(L"BUTTON", L"Close", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON,
                                  (client.right - 180) / 2, client.bottom - 70, 180, 50, hwnd,
                                  reinterpret_cast<HMENU>(kButtonId), nullptr, nullptr);
    SendMessageW(state->button, WM_SETFONT, reinterpret_cast<WPARAM>(state->buttonFont), TRUE);
    return 0;
  }
  case WM_PAINT:
    onPaint(hwnd, *state);
    // Reported after the first paint so that a waiting test can take its
    // screenshot of a window that is already drawn.
    reportReady(*state);
    return 0;
  case WM_COMMAND:
    if (LOWORD(wParam) == kButtonId && HIWORD(wParam) == BN_CLICKED) {
      PostMessageW(hwnd, WM_CLOSE, 0, 0);
      return 0;
    }
    break;
  case WM_TIMER:
    if (wParam == kCloseTimer) DestroyWindow(hwnd);
    return 0;
  case WM_DESTROY:
    PostQuitMessage(state->exitCode);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

HFONT makeFont(int pixels, int weight) {
  return CreateFontW(-pixels, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                     DEFAULT_PITCH | FF_SWISS, L"Tahoma");
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  HelloState state;
  int seconds = 60;
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  for (int i = 1; argv && i + 1 < argc; ++i) {
    if (!lstrcmpW(argv[i], L"--exit")) state.exitCode = parseNumber(argv[++i]);
    else if (!lstrcmpW(argv[i], L"--seconds")) seconds = parseNumber(argv[++i]);
    else if (!lstrcmpW(argv[i], L"--text")) state.text = argv[++i];
    else if (!lstrcmpW(argv[i], L"--out")) state.outPath = argv[++i];
  }
  reportStart(state, argc, argv);

  state.bigFont = makeFont(44, FW_BOLD);
  state.buttonFont = makeFont(24, FW_NORMAL);
  WNDCLASSW wc = {};
  wc.lpfnWndProc = helloProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = kClassName;
  if (!RegisterClassW(&wc)) return 200;
  HWND hwnd = CreateWindowW(kClassName, L"Tamblewright Wine harness", WS_OVERLAPPEDWINDOW,
                            60, 60, 800, 400, nullptr, nullptr, instance, &state);
  if (!hwnd) return 201;
  if (seconds > 0) SetTimer(hwnd, kCloseTimer, static_cast<UINT>(seconds) * 1000u, nullptr);
  ShowWindow(hwnd, show == SW_HIDE ? SW_SHOWNORMAL : show);
  UpdateWindow(hwnd);
  SetForegroundWindow(hwnd);

  MSG msg;
  int result = state.exitCode;
  for (;;) {
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) { result = static_cast<int>(msg.wParam); break; }
    if (got == -1) { result = 202; break; }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  DeleteObject(state.bigFont);
  DeleteObject(state.buttonFont);
  LocalFree(argv);
  return result;
}
