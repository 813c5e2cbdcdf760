// Setup: the runtime. Binds its resource DLL, decides the mode from the
// command line, creates the background window, runs the dialog sequence in
// one message loop, and performs the final action.
#include <windows.h>

#include <objbase.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "language/ids.h"
#include "setup/background/background_host.h"
#include "setup/core/main/path_text.h"
#include "setup/core/registration/registration_rules.h"
#include "setup/wizard/dialog_sequence.h"
#include "setup/main/profile_resources.h"
#include "setup/registration/registration_run.h"
#include "setup/removal/removal.h"
#include "setup/removal/removal_lock.h"
#include "setup/main/runtime_files.h"
#include "setup/main/runtime_messages.h"
#include "setup/main/runtime_state.h"
#include "setup/main/system_folders.h"
#include "setup/main/window_classes.h"
#include "setup/wizard/unattended_run.h"
#include "setup/main/user_interface.h"

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

// The arguments after the program's name. Quotes group and are dropped
// anywhere in an argument (/DIR="C:\A B"), and a backslash is never an
// escape, so a quoted folder may end in one.
std::vector<std::string> commandArguments() {
  std::vector<std::string> out = splitCommandLine(GetCommandLineA());
  if (!out.empty()) out.erase(out.begin());
  return out;
}

// False when the extension refuses: Setup then ends before any page.
bool chooseDefaultInstallDir(RunState& s) {
  if (!s.installDir.empty()) return true;
  char buffer[512] = "";
  std::string stored;
  if (readSettingString(runProfile(), kSettingInstallDir, stored)) lstrcpynA(buffer, stored.c_str(), sizeof buffer);
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
  bool hasFolder = readSettingString(runProfile(), kSettingProgramFolder, folder);
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
  readSettingString(runProfile(), kSettingCompany, company);
  readSettingString(runProfile(), kSettingVersion, version);
  HKEY record;
  std::string key = installRecordKeyPath(company, s.applicationName, version);
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &record) != ERROR_SUCCESS) return true;
  RegCloseKey(record);
  s.earlierInstallation = true;
  if (!readSettingString(runProfile(), kSettingInstallRemoval, offered)) return true;
  // Unattended: the installation goes on over the earlier one.
  if (showMessage(STR_MSG_EARLIER_INSTALLATION, MB_YESNO | MB_ICONINFORMATION, s.applicationName.c_str(), IDNO) != IDYES) return true;
  noteRunCancelled();
  return false;
}

void startSequence() {
  RunState& s = runState();
  if (s.command.mode == SetupMode::Install && !earlierInstallationLetsUsGoOn(s)) {
    PostQuitMessage(0);
    return;
  }
  if (s.command.mode == SetupMode::Install && runSwitches().unattended()) {
    // The background and the copy's progress, no page and no question.
    unattendedInstall();
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
    if (!(s.finalChoice & (1u << bit)) || !readSettingString(runProfile(), kSettingReadMe + bit, path)) continue;
    path = expandRunPath(path);
    std::string folder = parentPath(path);
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_FLAG_DDEWAIT;
    info.lpFile = path.c_str();
    info.lpDirectory = folder.c_str();
    info.nShow = SW_SHOWNORMAL;
    ShellExecuteExA(&info);
  }
}

// "ZETUREMOVE" alone asks first: its confirmation string holds caption|text.
bool uninstallConfirmed(const RunState& s) {
  std::string both = languageString(STR_CONFIRM_REMOVAL);
  size_t bar = both.find('|');
  std::string caption = bar == std::string::npos ? std::string("Setup") : both.substr(0, bar);
  std::string text = formatName(bar == std::string::npos ? both : both.substr(bar + 1), s.applicationName);
  Prompt p;
  p.text = text;
  p.caption = caption.c_str();
  p.style = MB_YESNOCANCEL | MB_ICONQUESTION;
  p.unattended = IDYES;  // the removal was asked for
  return askUser(p) == IDYES;
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

// "Update entries" in maintenance: the earlier installation's record, then
// the sequence again from the program folder page (when no per-user record
// keeps the choices) or from the summary on, with the registration run only.
void updateRun(RunState& s) {
  s.installRecordFound = (readInstallRecord(true) & 4) != 0;
  readUninstallRecord(ownProgramPath());
  bool folderPage = pageExists(8) && !s.installRecordFound && !s.programsFolder.empty();
  s.step = folderPage ? 7 : 8;
  s.updateMode = true;
  s.finalChoice = 4;
  NextDlg(+1, s.mainWindow);
  runMessageLoop(s);
  if (s.step == kStepFinish && (s.finalChoice & 3)) endActions(s);
}

// What the step at which the wizard ended asks for.
void finalAction(RunState& s) {
  // A continuation after the restart still runs from the work folder,
  // which goes once it ends, as at the end of an installation.
  bool installing = !s.sourceFolder.empty() || s.command.mode == SetupMode::Continuation;
  if (s.step == kStepRestart && (s.finalChoice & 4) && runSwitches().noRestart) {
    logEvent(LogKind::Decision, "kein Neustart (/NORESTART)");
    if (installing) removalHandOff(false);
  } else if (s.step == kStepRestart && (s.finalChoice & 4)) {
    logEvent(LogKind::Decision, "Neustart");
    restartComputer(s);
  } else if (s.step == kStepFinish && (s.finalChoice & 3)) {
    endActions(s);
    if (installing) removalHandOff(false);
  } else if (s.step == kStepMaintenance && (s.finalChoice & 3) == 2) {
    if (!lockRemoval(s.installDir)) return;
    int mode = removalHandOff(true);
    if (mode == 3) return;
    if (s.mainWindow) DestroyWindow(s.mainWindow);
    s.mainWindow = nullptr;
    s.currentDialog = nullptr;
    uninstallRun(mode);
  } else if (s.step == kStepMaintenance && (s.finalChoice & 3) != 0) {
    updateRun(s);
  } else if (installing) {
    removalHandOff(false);
  }
}

// Bad switches: 87, and unless unattended a box that lists the switches.
int refuseSwitches(const std::vector<std::string>& bad) {
  std::string list;
  for (const std::string& b : bad) list += (list.empty() ? "" : " ") + b;
  std::string text = "Unbekannte Schalter: " + list;
  logEvent(LogKind::Error, text + (runSwitches().unattended() ? " (nicht angezeigt)" : ""));
  if (!runSwitches().unattended())
    MessageBoxA(nullptr, (text + "\r\n\r\n" + switchUsage()).c_str(), "Setup", MB_OK | MB_ICONERROR);
  return finishRun(kExitBadSwitches);
}

int uninstall(RunState& s, HINSTANCE instance) {
  readSystemFolders(s);
  s.components = readComponents(runProfile());
  s.installDir = s.supportFolder;
  if (s.command.askFirst) {
    // The continuation in the temporary folder inherits the lock.
    if (!lockRemoval(s.supportFolder)) return finishRun(kExitFailed);
    if (!uninstallConfirmed(s)) return finishRun(kExitCancelled);
    s.uninstallMode = removalHandOff(true);
    // A copy of the program goes on once this one has ended.
    if (s.uninstallMode == 3) return finishRun(kExitSuccess);
  } else {
    s.installDir = s.command.installDir;
    waitForProcess(s.command.waitForProcess);
    if (!continuedUninstallTargetIsOurs(s.installDir)) return finishRun(kExitFailed);
    s.uninstallMode = 3;
  }
  CoInitialize(nullptr);
  if (userInterface().showsProgress()) initCommonControls();
  if (!registerBevelClass(instance)) return finishRun(kExitFailed);
  s.screenCentre = {GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2};
  uninstallRun(s.uninstallMode);
  CoUninitialize();
  return finishRun(removalProgress().notAllRemoved ? kExitFailed : kExitSuccess);
}

int run(HINSTANCE instance) {
  RunState& s = runState();
  s.instance = instance;
  std::string self = ownProgramPath();
  s.supportFolder = parentPath(self);

  s.command = parseSetupCommand(commandArguments());
  s.step = s.command.startStep;
  Switches& switches = runSwitches();
  switches = parseSwitches(s.command.switches);
  // The log first, so that it sees every failure after it.
  if (switches.hasLog) openRunLog(switches.log);
  if (switches.unattended()) useUnattendedInterface(switches.progressOnly && !switches.silent);
  logEvent(LogKind::Command, GetCommandLineA());

  std::string dllPath = resourceDllPath(self);
  s.resources = LoadLibraryExA(dllPath.c_str(), nullptr, 0);
  if (!s.resources) {
    // Nothing is removed: without the DLL the remover cannot be checked,
    // and a program outside the dispatcher's work folder (an installed
    // SETUP.EXE, a copy on the desktop) must never hand its folder over.
    showSystemError(nullptr, 0);
    logEvent(LogKind::Error, dllPath);
    if (userInterface().asks()) MessageBoxA(nullptr, dllPath.c_str(), nullptr, MB_OK);
    return finishRun(kExitFailed);
  }
  std::string text;
  s.restartNeeded = readSettingString(runProfile(), kSettingRestart, text);
  readSettingString(runProfile(), kSettingApplication, s.applicationName);
  readSettingString(runProfile(), kSettingVersion, text);
  s.versionText = " " + text;

  // An argument list the program does not know is refused whole.
  if (s.command.mode == SetupMode::Unknown) return refuseSwitches(commandArguments());
  if (!switches.bad.empty()) return refuseSwitches(switches.bad);
  // Maintenance asks what to do: nothing to do without asking.
  if (s.command.mode == SetupMode::Maintenance && switches.unattended())
    return refuseSwitches(s.command.switches);
  if (s.command.mode == SetupMode::Uninstall) return uninstall(s, instance);

  bool silent = !userInterface().showsBackground();
  CoInitialize(nullptr);
  if (!silent) initCommonControls();
  if (!registerBevelClass(instance)) return finishRun(kExitFailed);
  if (s.command.mode == SetupMode::Install && !registerComponentListClass(instance)) return finishRun(kExitFailed);
  s.screenCentre = {GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2};
  readSystemFolders(s);

  s.components = readComponents(runProfile());
  if (s.command.mode == SetupMode::Install) {
    s.sourceFolder = parentPath(s.command.packagePath);
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

  if (s.command.mode == SetupMode::Install && silent) {
    // No window at all: the sequence's checks and runs straight away.
    if (!chooseDefaultInstallDir(s)) {
      noteRunFailed();
    } else {
      programFolderDefaults(s);
      logProfile();
      if (earlierInstallationLetsUsGoOn(s)) unattendedInstall();
    }
    removalHandOff(false);
    CoUninitialize();
    return finishRun(installExitCode());
  }

  s.mainWindow = createBackground(s, startSequence);
  if (!s.mainWindow) return finishRun(kExitFailed);
  if (s.command.mode == SetupMode::Install) {
    if (!chooseDefaultInstallDir(s)) {
      DestroyWindow(s.mainWindow);
      logEvent(LogKind::Error, "ZETUGetInstallDir");
      noteRunFailed();
      removalHandOff(false);
      return finishRun(installExitCode());
    }
    programFolderDefaults(s);
    logProfile();
    // The switches given preset the pages (all of them, in a run that
    // shows only the progress).
    if (!runSwitches().unattended() && !applySwitchChoices()) {
      DestroyWindow(s.mainWindow);
      noteRunFailed();
      removalHandOff(false);
      return finishRun(installExitCode());
    }
  }

  runMessageLoop(s);
  finalAction(s);
  CoUninitialize();
  if (s.command.mode == SetupMode::Maintenance) return finishRun(runFailed() ? kExitFailed : kExitSuccess);
  return finishRun(installExitCode());
}

}  // namespace

const ResourceSource& runProfile() {
  // First asked right after the resource DLL is loaded.
  static ModuleResources profile(runState().resources);
  return profile;
}

}  // namespace tw

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return tw::run(instance); }
