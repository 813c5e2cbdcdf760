// Setup: the runtime. Binds its resource DLL, decides the mode from the
// command line, creates the background window, runs the dialog sequence in
// one message loop, and performs the final action.
#include <windows.h>

#include <objbase.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "setup/background/background_host.h"
#include "setup/core/registration/registration_rules.h"
#include "setup/wizard/dialog_sequence.h"
#include "setup/main/profile_resources.h"
#include "setup/registration/registration_run.h"
#include "setup/removal/removal.h"
#include "setup/removal/removal_lock.h"
#include "setup/main/runtime_messages.h"
#include "setup/main/runtime_state.h"
#include "setup/main/system_folders.h"
#include "setup/main/window_classes.h"

namespace tw {

RunState& runState() {
  static RunState state;
  return state;
}

namespace {

// The progress bar of the progress pages lives in COMCTL32.DLL, which is
// loaded by its full path in the system folder, never from beside Setup.
void initCommonControls() {
  char path[MAX_PATH + 16];
  UINT n = GetSystemDirectoryA(path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return;
  lstrcatA(path, "\\COMCTL32.DLL");
  HMODULE comctl = LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (!comctl) return;
  struct InitControls {
    DWORD size, classes;
  } controls = {sizeof(InitControls), 0x20 /* ICC_PROGRESS_CLASS */};
  typedef BOOL(WINAPI * InitEx)(const InitControls*);
  typedef void(WINAPI * Init)();
  if (auto initEx = reinterpret_cast<InitEx>(reinterpret_cast<void*>(GetProcAddress(comctl, "InitCommonControlsEx"))))
    if (initEx(&controls)) return;
  if (auto init = reinterpret_cast<Init>(reinterpret_cast<void*>(GetProcAddress(comctl, "InitCommonControls")))) init();
}

typedef LONG(WINAPI* ExpandCallback)(char*, LONG);
typedef LONG(WINAPI* GetInstallDirHook)(HWND, char*, ExpandCallback);

std::vector<std::string> commandArguments() {
  std::vector<std::string> out;
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  for (int i = 1; argv && i < argc; ++i) {
    char buffer[1024];
    int n = WideCharToMultiByte(CP_ACP, 0, argv[i], -1, buffer, sizeof buffer, nullptr, nullptr);
    out.emplace_back(buffer, n > 0 ? n - 1 : 0);
  }
  LocalFree(argv);
  return out;
}

std::string folderOf(const std::string& path) {
  size_t sep = path.find_last_of('\\');
  return sep == std::string::npos ? std::string() : path.substr(0, sep);
}

// False when the extension refuses: Setup then ends before any page.
bool chooseDefaultInstallDir(RunState& s) {
  if (!s.installDir.empty()) return true;
  char buffer[512] = "";
  std::string stored;
  if (readSettingString(runProfile(), 6, stored)) lstrcpynA(buffer, stored.c_str(), sizeof buffer);
  if (auto hook = reinterpret_cast<GetInstallDirHook>(
          reinterpret_cast<void*>(GetProcAddress(s.resources, "ZETUGetInstallDir"))))
    if (!hook(s.mainWindow, buffer, expandForHook)) return false;
  buffer[sizeof buffer - 1] = '\0';
  std::string dir = buffer;
  if (dir.empty()) {
    s.installDir = s.sourceFolder;
    return true;
  }
  if (dir.back() == '\\') dir.pop_back();
  s.installDir = expandRunPath(dir);
  return true;
}

void programFolderDefaults(RunState& s) {
  std::string folder;
  bool hasFolder = readSettingString(runProfile(), 5, folder);
  ShortcutTable table;
  bool hasTable = readShortcutTable(runProfile(), table);
  if (!hasTable || table.mask < 0) {
    s.shortcutOptionsHidden = true;
    s.programFolder = folder;
  } else if (!hasFolder) {
    s.shortcutOptionsHidden = true;
    s.quickEntry = true;
    s.programFolder.clear();
  } else {
    s.programFolder = folder;
  }
}

// In install mode an installation this user made before is mentioned
// first, when the profile offers uninstalling: "Yes" ends Setup.
bool earlierInstallationLetsUsGoOn(RunState& s) {
  std::string company, version, offered;
  readSettingString(runProfile(), 2, company);
  readSettingString(runProfile(), 1, version);
  HKEY record;
  std::string key = installRecordKeyPath(company, s.applicationName, version);
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &record) != ERROR_SUCCESS) return true;
  RegCloseKey(record);
  s.earlierInstallation = true;
  if (!readSettingString(runProfile(), 13, offered)) return true;
  return showMessage(1033, MB_YESNO | MB_ICONINFORMATION, s.applicationName.c_str()) != IDYES;
}

void startSequence() {
  RunState& s = runState();
  if (s.command.mode == SetupMode::Install && !earlierInstallationLetsUsGoOn(s)) {
    PostQuitMessage(0);
    return;
  }
  NextDlg(+1, s.mainWindow);
}

// Opens the readme (bit 0) and the program (bit 1) through the shell.
void endActions(RunState& s) {
  if (s.mainWindow) DestroyWindow(s.mainWindow);
  s.mainWindow = nullptr;
  for (int bit = 0; bit < 2; ++bit) {
    std::string path;
    if (!(s.finalChoice & (1u << bit)) || !readSettingString(runProfile(), 3 + bit, path)) continue;
    path = expandRunPath(path);
    std::string folder = folderOf(path);
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_FLAG_DDEWAIT;
    info.lpFile = path.c_str();
    info.lpDirectory = folder.c_str();
    info.nShow = SW_SHOWNORMAL;
    ShellExecuteExA(&info);
  }
}

// "ZETUREMOVE" alone asks first: string 1032 holds caption|text.
bool uninstallConfirmed(const RunState& s) {
  std::string both = languageString(1032);
  size_t bar = both.find('|');
  std::string caption = bar == std::string::npos ? std::string("Setup") : both.substr(0, bar);
  std::string text = formatName(bar == std::string::npos ? both : both.substr(bar + 1), s.applicationName);
  return MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_YESNOCANCEL | MB_ICONQUESTION) == IDYES;
}

void waitForProcess(DWORD id) {
  if (HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id)) {
    WaitForSingleObject(process, INFINITE);
    CloseHandle(process);
  }
}

// Restart chosen on the restart page: the shutdown right first on the NT
// family, where a process must enable it before asking.
void restartComputer(RunState& s) {
  if (s.mainWindow) ShowWindow(s.mainWindow, SW_MINIMIZE);
  HANDLE token;
  if (OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid))
      AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
    CloseHandle(token);
  }
  // Refused (the right not held, another program vetoing): the user must
  // hear that the files waiting for the restart are not in place yet.
  if (!ExitWindowsEx(EWX_REBOOT, 0)) {
    DWORD error = GetLastError();
    if (s.mainWindow) ShowWindow(s.mainWindow, SW_RESTORE);
    showSystemError(s.mainWindow, error ? error : ERROR_NOT_READY);
  }
}

void runMessageLoop(RunState& s) {
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (s.currentDialog && IsDialogMessageA(s.currentDialog, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

std::string ownPath() {
  char self[513];
  DWORD n = GetModuleFileNameA(nullptr, self, sizeof self - 1);
  self[n] = '\0';
  return self;
}

// "Update entries" in maintenance: the earlier installation's record, then
// the sequence again from the program folder page (when no per-user record
// keeps the choices) or from the summary on, with the registration run only.
void updateRun(RunState& s) {
  s.installRecordFound = (readInstallRecord(true) & 4) != 0;
  readUninstallRecord(ownPath());
  bool folderPage = pageExists(8) && !s.installRecordFound && !s.programsFolder.empty();
  s.step = folderPage ? 7 : 8;
  s.updateMode = true;
  s.finalChoice = 4;
  NextDlg(+1, s.mainWindow);
  runMessageLoop(s);
  if (s.step == 13 && (s.finalChoice & 3)) endActions(s);
}

// What the step at which the wizard ended asks for.
void finalAction(RunState& s) {
  // A continuation after the restart still runs from the work folder,
  // which goes once it ends, as at the end of an installation.
  bool installing = !s.sourceFolder.empty() || s.command.mode == SetupMode::Continuation;
  if (s.step == 12 && (s.finalChoice & 4)) {
    restartComputer(s);
  } else if (s.step == 13 && (s.finalChoice & 3)) {
    endActions(s);
    if (installing) removalHandOff(false);
  } else if (s.step == 14 && (s.finalChoice & 3) == 2) {
    if (!lockRemoval(s.installDir)) return;
    int mode = removalHandOff(true);
    if (mode == 3) return;
    if (s.mainWindow) DestroyWindow(s.mainWindow);
    s.mainWindow = nullptr;
    s.currentDialog = nullptr;
    uninstallRun(mode);
  } else if (s.step == 14 && (s.finalChoice & 3) != 0) {
    updateRun(s);
  } else if (installing) {
    removalHandOff(false);
  }
}

int run(HINSTANCE instance) {
  RunState& s = runState();
  s.instance = instance;
  std::string self = ownPath();
  s.supportFolder = folderOf(self);
  std::string dllPath = resourceDllPath(self);
  s.resources = LoadLibraryExA(dllPath.c_str(), nullptr, 0);
  if (!s.resources) {
    // Nothing is removed: without the DLL the remover cannot be checked,
    // and a program outside the dispatcher's work folder (an installed
    // SETUP.EXE, a copy on the desktop) must never hand its folder over.
    showSystemError(nullptr, 0);
    MessageBoxA(nullptr, dllPath.c_str(), nullptr, MB_OK);
    return 0;
  }
  std::string text;
  s.restartNeeded = readSettingString(runProfile(), 16, text);
  readSettingString(runProfile(), 0, s.applicationName);
  readSettingString(runProfile(), 1, text);
  s.versionText = " " + text;

  s.command = parseSetupCommand(commandArguments());
  s.step = s.command.startStep;
  if (s.command.mode == SetupMode::Unknown) return 0;
  if (s.command.mode == SetupMode::Uninstall) {
    readSystemFolders(s);
    s.components = readComponents(runProfile());
    s.installDir = s.supportFolder;
    if (s.command.askFirst) {
      // The continuation in the temporary folder inherits the lock.
      if (!lockRemoval(s.supportFolder) || !uninstallConfirmed(s)) return 0;
      s.uninstallMode = removalHandOff(true);
      if (s.uninstallMode == 3) return 0;
    } else {
      s.installDir = s.command.installDir;
      waitForProcess(s.command.waitForProcess);
      if (!continuedUninstallTargetIsOurs(s.installDir)) return 0;
      s.uninstallMode = 3;
    }
    CoInitialize(nullptr);
    initCommonControls();
    if (!registerBevelClass(instance)) return 255;
    s.screenCentre = {GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2};
    uninstallRun(s.uninstallMode);
    CoUninitialize();
    return 0;
  }

  CoInitialize(nullptr);
  initCommonControls();
  if (!registerBevelClass(instance)) return 255;
  if (s.command.mode == SetupMode::Install && !registerComponentListClass(instance)) return 255;
  s.screenCentre = {GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2};
  readSystemFolders(s);

  s.components = readComponents(runProfile());
  if (s.command.mode == SetupMode::Install) {
    s.sourceFolder = folderOf(s.command.packagePath);
    s.table = buildComponentTable(s.components);
  } else if (s.command.mode == SetupMode::Continuation) {
    HKEY runKey;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0, KEY_SET_VALUE,
                      &runKey) == ERROR_SUCCESS) {
      RegDeleteValueA(runKey, (s.applicationName + "-Setup").c_str());
      RegCloseKey(runKey);
    }
    s.installDir = s.command.installDir;
  } else {
    s.installDir = s.supportFolder;
  }

  s.mainWindow = createBackground(s, startSequence);
  if (!s.mainWindow) return 255;
  if (s.command.mode == SetupMode::Install) {
    if (!chooseDefaultInstallDir(s)) {
      DestroyWindow(s.mainWindow);
      return 0;
    }
    programFolderDefaults(s);
  }

  runMessageLoop(s);
  finalAction(s);
  CoUninitialize();
  return 0;
}

}  // namespace

const ResourceSource& runProfile() {
  // First asked right after the resource DLL is loaded.
  static ModuleResources profile(runState().resources);
  return profile;
}

}  // namespace tw

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return tw::run(instance); }
