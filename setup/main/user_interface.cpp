// The wizard's and the unattended runs' user interface, and the run log.
#include "setup/main/user_interface.h"

#include "setup/main/runtime_state.h"

namespace tw {
namespace {

class WizardInterface final : public UserInterface {
 public:
  int ask(const Prompt& p) override { return MessageBoxA(p.owner, p.text.c_str(), p.caption, p.style); }
  bool overwriteReadOnly(HWND owner, const std::string& path, bool& askAgain) override {
    return readOnlyDialog(owner, path, askAgain);
  }
  bool confirmCancel(HWND owner) override { return cancelDialog(owner); }
  bool showsProgress() const override { return true; }
  bool showsBackground() const override { return true; }
  bool asks() const override { return true; }
};

class UnattendedInterface final : public UserInterface {
 public:
  bool progress = false;
  int ask(const Prompt& p) override { return p.unattended; }
  // Read-only files are overwritten: the package is what the
  // administrator asked for.
  bool overwriteReadOnly(HWND, const std::string&, bool&) override { return true; }
  // Nobody is there to cancel.
  bool confirmCancel(HWND) override { return false; }
  bool showsProgress() const override { return false; }
  bool showsBackground() const override { return progress; }
  bool asks() const override { return false; }
};

WizardInterface gWizard;
UnattendedInterface gUnattended;
UserInterface* gInterface = &gWizard;

class FileLogSink final : public LogSink {
 public:
  std::string path;
  // Opened for each line and closed again: a removal goes on in a copy of
  // the program that appends to the same file once this one has ended.
  bool append(const std::string& bytes) override {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = SetFilePointer(file, 0, nullptr, FILE_END) != INVALID_SET_FILE_POINTER &&
              WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size();
    CloseHandle(file);
    return ok;
  }
  LogTime now() override {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
  }
};

FileLogSink gSink;

const char* buttonName(int button) {
  switch (button) {
    case IDOK: return "OK";
    case IDCANCEL: return "Abbrechen";
    case IDABORT: return "Abbrechen";
    case IDRETRY: return "Wiederholen";
    case IDIGNORE: return "Ignorieren";
    case IDYES: return "Ja";
    case IDNO: return "Nein";
    default: return "?";
  }
}

bool isError(UINT style) {
  UINT icon = style & MB_ICONMASK;
  return icon == MB_ICONERROR || icon == MB_ICONWARNING;
}

}  // namespace

UserInterface& userInterface() { return *gInterface; }

void useUnattendedInterface(bool progress) {
  gUnattended.progress = progress;
  gInterface = &gUnattended;
}

RunLog& runLog() {
  static RunLog log;
  return log;
}

bool openRunLog(const std::string& path) {
  // A relative name is taken from the folder the package was started in,
  // which the dispatcher passes on, not from the work folder, which goes
  // when the run ends.
  std::string wanted = path;
  char caller[MAX_PATH + 1];
  DWORD c = GetEnvironmentVariableA("ZETUCALLERDIR", caller, sizeof caller);
  bool relative = !(wanted[0] == '\\' || wanted[0] == '/' || (wanted.size() >= 2 && wanted[1] == ':'));
  if (relative && c > 0 && c < sizeof caller) {
    std::string folder(caller, c);
    if (folder.back() != '\\') folder += '\\';
    wanted = folder + wanted;
  }
  char full[MAX_PATH * 2];
  char* name = nullptr;
  DWORD n = GetFullPathNameA(wanted.c_str(), sizeof full, full, &name);
  gSink.path = n > 0 && n < sizeof full ? std::string(full, n) : wanted;
  runLog().attach(&gSink);
  // The first line proves the file can be written.
  return gSink.append(std::string());
}

void logEvent(LogKind kind, const std::string& text) { runLog().write(kind, text); }

std::string systemErrorText(DWORD code) {
  char text[512] = "";
  if (!FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                      MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), text, sizeof text, nullptr))
    text[0] = '\0';
  return errorText(code, text);
}

int askUser(const Prompt& prompt) {
  UINT buttons = prompt.style & MB_TYPEMASK;
  bool question = buttons != MB_OK;
  UserInterface& ui = userInterface();
  if (!question) {
    logEvent(isError(prompt.style) ? LogKind::Error : LogKind::Message,
             ui.asks() ? prompt.text : prompt.text + " (nicht angezeigt)");
    return ui.ask(prompt);
  }
  int answer = ui.ask(prompt);
  logEvent(LogKind::Question, prompt.text + " -> " + buttonName(answer) + (ui.asks() ? "" : " (ohne Frage)"));
  return answer;
}

void reportError(HWND owner, const std::string& text, UINT style) {
  UserInterface& ui = userInterface();
  logEvent(LogKind::Error, ui.asks() ? text : text + " (nicht angezeigt)");
  Prompt p;
  p.owner = owner;
  p.text = text;
  p.style = style;
  ui.ask(p);
}

}  // namespace tw
