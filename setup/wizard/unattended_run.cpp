// The unattended installation and the outcome of a run.
#include "setup/wizard/unattended_run.h"

#include <windows.h>

#include "language/ids.h"
#include "setup/core/wizard/page_rules.h"
#include "setup/core/wizard/selection_walk.h"
#include "setup/wizard/dialog_sequence.h"
#include "setup/engine/install_engine.h"
#include "setup/main/profile_resources.h"
#include "setup/main/runtime_messages.h"
#include "setup/main/runtime_state.h"
#include "setup/main/system_folders.h"
#include "setup/main/type_components.h"
#include "setup/main/user_interface.h"

namespace tw {
namespace {

enum class Outcome { Running, Failed, Cancelled };
Outcome gOutcome = Outcome::Running;


typedef LONG(WINAPI* ExpandCallback)(char*, LONG);
typedef LONG(WINAPI* AfterInstallHook)(HWND, ExpandCallback);

std::string typeName(int typeId) {
  InstallationTypeRecord type;
  return readInstallationType(runProfile(), typeId - 501, type) ? type.name : std::string();
}

// The named components of the type's tree selected, the other offered ones
// not; components the user cannot choose keep their state. A named group
// takes its members along; a group is then selected, partly selected or
// not by its offered members, as the component page leaves it.
bool selectNamedComponents(RunState& s, const std::vector<std::string>& names) {
  InstallationTypeRecord type;
  if (!readInstallationType(runProfile(), s.selectedType - 501, type)) return false;
  std::vector<SelectionComponent> states(s.table.size());
  for (size_t i = 0; i < s.table.size(); ++i) {
    states[i].flags = s.table[i].flags;
    states[i].state = s.table[i].state;
  }
  SelectionTree tree(type.nodes, states, s.selectionMask);
  std::vector<bool> named(tree.nodeCount(), false);
  for (const std::string& name : names) {
    bool found = false;
    for (size_t node = 1; node < tree.nodeCount(); ++node) {
      int number = type.nodes[node].component;
      if (number >= 0 && static_cast<size_t>(number) < s.components.size() &&
          sameNameIgnoringCase(s.components[number].name, name))
        named[node] = found = true;
    }
    if (!found) {
      reportError(nullptr, "Unbekannte Komponente: " + name, MB_OK | MB_ICONERROR);
      return false;
    }
  }
  // Pre-order: a node's members come after it, so a named group marks them
  // before they are reached.
  std::vector<bool> taken(tree.nodeCount(), false);
  for (size_t node = 1; node < tree.nodeCount(); ++node) {
    if (named[node])
      for (size_t child : tree.children(node)) named[child] = true;
    SelectionComponent* c = tree.component(node);
    if (!c || (c->flags & kFlagNotOffered)) continue;
    c->state = (c->state & ~kStateMask) | (named[node] ? kStateSelected : kStateNotSelected);
    taken[node] = true;
  }
  // Groups from their members, the deepest first.
  for (size_t node = tree.nodeCount(); node-- > 1;) {
    SelectionComponent* c = tree.component(node);
    if (c && taken[node] && !tree.children(node).empty()) tree.stateFromChildren(node);
  }
  for (size_t i = 0; i < s.table.size(); ++i)
    s.table[i].state = static_cast<uint16_t>((s.table[i].state & ~kStateMask) | (states[i].state & kStateMask));
  return true;
}

HWND createProgressPage(RunState& s) {
  if (!s.mainWindow || !pageExists(kStepProgress)) return nullptr;
  s.step = kStepProgress;
  HWND page = CreateDialogParamA(s.resources, MAKEINTRESOURCEA(kFirstPageId + kStepProgress), s.mainWindow,
                                 pageProcedure(kStepProgress), 0);
  if (page) {
    // Nothing on it may be pressed: the run does not ask.
    EnableWindow(GetDlgItem(page, IDC_NEXT), FALSE);
    EnableWindow(GetDlgItem(page, IDC_CANCEL), FALSE);
    EnableWindow(GetDlgItem(page, IDC_BACK), FALSE);
    centerDialog(page, nullptr);
  }
  return page;
}

}  // namespace

Switches& runSwitches() {
  static Switches switches;
  return switches;
}

void noteRunFailed() {
  if (gOutcome == Outcome::Running) gOutcome = Outcome::Failed;
}
void noteRunCancelled() {
  if (gOutcome == Outcome::Running) gOutcome = Outcome::Cancelled;
}
bool runFailed() { return gOutcome == Outcome::Failed; }

int installExitCode() {
  if (gOutcome == Outcome::Failed) return kExitFailed;
  if (gOutcome == Outcome::Cancelled) return kExitCancelled;
  return runState().restartNeeded ? kExitRestartNeeded : kExitSuccess;
}

int finishRun(int code) {
  logEvent(LogKind::Exit, std::to_string(code));
  return code;
}

void logProfile() {
  RunState& s = runState();
  std::string version = s.versionText.size() > 1 ? s.versionText.substr(1) : std::string();
  std::string types;
  for (int t = 0; t < 4; ++t) {
    std::string name = typeName(501 + t);
    if (!profileHasType(t)) continue;
    if (!types.empty()) types += ", ";
    types += std::to_string(501 + t) + " " + name;
  }
  logEvent(LogKind::Profile, "Anwendung " + s.applicationName + ", Version " + version + ", Typen: " + types);
}

void logDecisions() {
  RunState& s = runState();
  logEvent(LogKind::Decision, "Typ " + std::to_string(s.selectedType) + " " + typeName(s.selectedType));
  logEvent(LogKind::Decision, "Zielordner " + s.installDir);
  std::string chosen;
  for (int n : typeComponentList(s.selectedType)) {
    if (n < 0 || static_cast<size_t>(n) >= s.components.size() || !componentProcessed(n)) continue;
    if (s.components[n].name.empty()) continue;
    if (!chosen.empty()) chosen += ", ";
    chosen += s.components[n].name;
  }
  logEvent(LogKind::Decision, "Komponenten " + chosen);
  logEvent(LogKind::Decision, "Programmordner " + (s.programFolder.empty() ? std::string("(keiner)") : s.programFolder) +
                                  (s.quickEntry ? ", Startmen\xFC" : "") +
                                  (s.desktop && !s.programFolder.empty() ? ", Desktop" : ""));
}

bool applySwitchChoices() {
  RunState& s = runState();
  const Switches& w = runSwitches();
  int type = w.type;
  if (!type && w.hasComponents) type = kTypeIdCustom;
  if (!type) {
    // The type the profile preselects, as the type page does.
    for (int t = 0; t < 4 && !type; ++t) {
      InstallationTypeRecord record;
      if (readInstallationType(runProfile(), t, record) && record.preselected) type = 501 + t;
    }
  }
  if (type) {
    if (!profileHasType(type - 501)) {
      reportError(nullptr, "Installationsart " + std::to_string(type) + " gibt es in diesem Paket nicht", MB_OK | MB_ICONERROR);
      return false;
    }
    s.selectedType = type;
  }
  if (w.hasComponents) {
    if (!componentPageShown(s.selectedType, profileHasType(2))) {
      reportError(nullptr, "Komponenten sind nur bei der benutzerdefinierten Installation w\xE4hlbar", MB_OK | MB_ICONERROR);
      return false;
    }
    if (!selectNamedComponents(s, w.components)) return false;
  }
  if (w.hasDir) {
    std::string dir = w.dir;
    if (dir.size() > 3 && dir.back() == '\\') dir.pop_back();
    s.askBeforeCreating = lstrcmpiA(dir.c_str(), s.installDir.c_str()) != 0;
    s.installDir = dir;
  }
  if (w.hasGroup) s.programFolder = w.group;
  if (w.noShortcuts) {
    s.programFolder.clear();
    s.quickEntry = false;
  }
  if (w.noDesktop) s.desktop = false;
  if (FindResourceA(s.resources, MAKEINTRESOURCEA(DLG_USER), RT_DIALOG)) {
    if (s.pageUserName.empty()) s.pageUserName = userInfoDefault("DefName");
    if (s.pageCompany.empty()) s.pageCompany = userInfoDefault("DefCompany");
    if (w.hasUser) s.pageUserName = w.user.substr(0, 100);
    if (w.hasCompany) s.pageCompany = w.company.substr(0, 100);
  }
  return true;
}

bool unattendedInstall() {
  RunState& s = runState();
  if (!applySwitchChoices()) {
    noteRunFailed();
    return false;
  }
  // The destination as the type page's Next checks it: the path, an
  // earlier installation, then the check pass with its space figures.
  s.step = kStepSetupType;
  s.firstStep = kStepSetupType;
  if (!ValidateDestination(s.installDir, 0)) {
    noteRunFailed();
    return false;
  }
  // The choices as the wizard logs them, right before the copy.
  logDecisions();
  s.progressDialog = userInterface().showsBackground() ? createProgressPage(s) : nullptr;
  s.currentDialog = s.progressDialog;
  bool ok = runInstallPasses();
  s.selectionMask = 3;
  if (s.progressDialog) DestroyWindow(s.progressDialog);
  s.progressDialog = s.currentDialog = nullptr;
  if (!ok) {
    noteRunFailed();
    return false;
  }
  if (auto after = reinterpret_cast<AfterInstallHook>(
          reinterpret_cast<void*>(GetProcAddress(s.resources, "ZETUAfterInstallProc"))))
    if (after(s.mainWindow, expandForHook)) s.restartNeeded = true;
  s.step = kStepFinish;
  return true;
}

std::string switchesForCopy() {
  const Switches& w = runSwitches();
  std::string out;
  if (w.silent) out += " /S";
  if (w.progressOnly) out += " /PROGRESS";
  if (w.noRestart) out += " /NORESTART";
  if (w.hasLog) {
    // The copy runs from the temporary folder: the log by its full path.
    char full[MAX_PATH * 2];
    char* name = nullptr;
    DWORD n = GetFullPathNameA(w.log.c_str(), sizeof full, full, &name);
    out += " \"/LOG=" + (n > 0 && n < sizeof full ? std::string(full, n) : w.log) + "\"";
  }
  return out;
}

bool runInstallPasses() {
  RunState& s = runState();
  bool network = s.selectedType == kTypeIdNetwork;
  unsigned flags = 0;
  if (network) {
    s.selectionMask = 4;
    flags |= kRunNetworkPass;
  }
  bool ok = installEngine().installRun(flags) &&
            installEngine().registrationRun(RegistrationDirection::Install, network ? 2 : 3);
  installEngine().endRun(ok);
  return ok;
}

std::string userInfoDefault(const char* name) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\MS Setup (ACME)\\User Info", 0, KEY_READ, &key))
    return {};
  char value[101] = "";
  DWORD size = sizeof value - 1, type = 0;
  bool ok = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) == ERROR_SUCCESS &&
            type == REG_SZ;
  RegCloseKey(key);
  return ok ? std::string(value) : std::string();
}

}  // namespace tw
