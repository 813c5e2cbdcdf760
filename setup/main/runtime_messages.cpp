// Message boxes, centring, name formatting, message pumping.
#include "setup/main/runtime_messages.h"

#include "setup/main/runtime_state.h"
#include "setup/main/user_interface.h"

namespace tw {

void showSystemError(HWND owner, DWORD code) {
  if (code == 0) code = GetLastError();
  char text[512];
  if (!FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                      MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), text, sizeof text, nullptr))
    wsprintfA(text, "%lu", static_cast<unsigned long>(code));
  logEvent(LogKind::Error, systemErrorText(code) + (userInterface().asks() ? "" : " (nicht angezeigt)"));
  Prompt p;
  p.owner = owner ? owner : runState().mainWindow;
  p.text = text;
  p.style = MB_OK | MB_ICONINFORMATION;
  userInterface().ask(p);
}

std::string languageString(int id) {
  char buffer[1024];
  int n = LoadStringA(runState().resources, static_cast<UINT>(id), buffer, sizeof buffer);
  return std::string(buffer, n > 0 ? n : 0);
}

int showMessage(int id, UINT style, const char* argument, int unattended) {
  std::string text = languageString(id);
  if (argument) {
    // Only the first "%s" takes the argument; a text from the language
    // module is never used as a format string.
    size_t at = text.find("%s");
    if (at != std::string::npos) text.replace(at, 2, argument);
  }
  RunState& s = runState();
  Prompt p;
  p.owner = s.currentDialog ? s.currentDialog : s.mainWindow;
  p.text = text;
  p.style = style;
  p.unattended = unattended;
  return askUser(p);
}

void centerDialog(HWND dialog, HWND insertAfter) {
  RECT r;
  GetWindowRect(dialog, &r);
  const POINT& c = runState().screenCentre;
  int w = r.right - r.left, h = r.bottom - r.top;
  SetWindowPos(dialog, insertAfter ? insertAfter : HWND_TOP, c.x - w / 2, c.y - h / 2, 0, 0,
               SWP_NOSIZE | SWP_SHOWWINDOW | (insertAfter ? 0 : SWP_NOZORDER));
}

// "%1" takes the argument, "%n" a line break, "%%" a percent sign; any
// other insert stays as written, so a language text can never make the
// formatter read arguments that are not there.
std::string formatName(const std::string& pattern, const std::string& value) {
  std::string out;
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '%' && i + 1 < pattern.size()) {
      char next = pattern[i + 1];
      if (next == '1') { out += value; ++i; continue; }
      if (next == 'n') { out += "\r\n"; ++i; continue; }
      if (next == '%') { out += '%'; ++i; continue; }
    }
    out += pattern[i];
  }
  return out;
}

void formatWithName(HWND window, int id, const char* argument) {
  HWND target = id ? GetDlgItem(window, id) : window;
  if (!target) return;
  char pattern[512];
  GetWindowTextA(target, pattern, sizeof pattern);
  std::string text = formatName(pattern, argument ? argument : runState().applicationName);
  SetWindowTextA(target, text.c_str());
}

void pumpPending() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    HWND dialog = runState().currentDialog;
    if (dialog && IsDialogMessageA(dialog, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

}  // namespace tw
