// The registration run in both directions: registry components, shortcuts,
// application paths, the per-user record, user information and the
// uninstall entry.
#include "setup/registration/registration_run.h"

#include <windows.h>
#include <commctrl.h>

#include "language/ids.h"
#include "setup/core/registration/registration_rules.h"
#include "setup/core/registration/registry_entry_tree.h"
#include "setup/core/main/startup_rules.h"
#include "setup/registration/install_record.h"
#include "setup/engine/install_rollback.h"
#include "setup/registration/registry_tree.h"
#include "setup/removal/removal.h"
#include "setup/main/runtime_messages.h"
#include "setup/main/runtime_state.h"
#include "setup/registration/shell_links.h"
#include "setup/main/system_folders.h"
#include "setup/main/type_components.h"
#include "setup/main/user_interface.h"

namespace tw {
namespace {

constexpr int kRegistrationOnly = 1;

void setProgress(int position) {
  if (HWND dialog = runState().progressDialog) {
    SendDlgItemMessageA(dialog, IDC_PROGRESS, PBM_SETPOS, static_cast<WPARAM>(position), 0);
    UpdateWindow(GetDlgItem(dialog, IDC_PROGRESS));
  }
}

bool hasSetting(int id) {
  std::string text;
  return readSettingString(runProfile(), id, text);
}

std::string setting(int id) {
  std::string text;
  readSettingString(runProfile(), id, text);
  return text;
}

bool hasUserInfoPage() {
  return FindResourceA(runState().resources, MAKEINTRESOURCEA(DLG_USER), RT_DIALOG) != nullptr;
}

// The run walks the type's list once; `visit` gets each processed
// registry component with its root, and `after` is told each step.
template <typename Visit, typename After>
void forTypeRegistry(Visit visit, After after) {
  const RunState& s = runState();
  std::vector<int> list = typeComponentList(s.selectedType);
  for (size_t k = 0; k < list.size(); ++k) {
    int n = list[k];
    RegistryRoot root;
    if (n >= 0 && static_cast<size_t>(n) < s.components.size() && componentProcessed(n)) {
      const ComponentRecord& c = s.components[n];
      if ((c.flags & kComponentRegistry) && registryComponentRoot(c.flags, root)) visit(c, root);
    }
    after(k + 1, list.size());
  }
  if (list.empty()) after(0, 0);
}

bool shortcutMarked(const ShortcutTable& table, size_t k) {
  return k < 32 && (static_cast<uint32_t>(table.mask) >> k & 1) != 0;
}

// The link paths of one run, the same for writing and for removing.
struct LinkPlan {
  std::string programs, folderPath, desktop;
  bool inFolder = false, direct = false, onDesktop = false;
};

LinkPlan planLinks(bool programsFallback) {
  const RunState& s = runState();
  LinkPlan plan;
  plan.inFolder = !s.programFolder.empty();
  plan.direct = s.quickEntry;
  if (plan.inFolder || plan.direct) plan.programs = shellFolderPath("Programs", programsFallback);
  if (plan.programs.empty()) plan.inFolder = plan.direct = false;
  plan.folderPath = plan.programs + "\\" + s.programFolder;
  plan.onDesktop = s.desktop && !s.programFolder.empty();
  if (plan.onDesktop) plan.desktop = shellFolderPath("Desktop", true);
  if (plan.desktop.empty()) plan.onDesktop = false;
  return plan;
}

LinkFields linkFields(const ShortcutRecord& shortcut) {
  LinkFields f;
  f.target = expandRunPath(shortcut.target);
  f.arguments = expandRunPath(shortcut.arguments);
  f.workDir = expandRunPath(shortcut.workDir);
  f.iconFile = expandRunPath(shortcut.iconFile);
  f.iconIndex = shortcut.iconIndex;
  f.description = shortcut.linkName;
  return f;
}

// The folders it needs, then the link; a link that replaces one of the
// same name keeps the old one aside until the run ends.
bool makeLink(const LinkFields& fields, const std::string& path) {
  size_t sep = path.find_last_of('\\');
  std::string blocker;
  if (sep != std::string::npos && createRunFolders(path.substr(0, sep), blocker) < 0) {
    if (!blocker.empty()) SetLastError(ERROR_FILE_EXISTS);
    return false;
  }
  if (!prepareRunFile(path)) return false;
  SetLastError(NO_ERROR);
  if (createShellLink(fields, path)) {
    logEvent(LogKind::Link, path);
    return true;
  }
  if (GetLastError() == NO_ERROR) SetLastError(ERROR_CANNOT_MAKE);
  return false;
}

bool createShortcuts(const ShortcutTable& table) {
  const RunState& s = runState();
  LinkPlan plan = planLinks(true);
  std::string blocker;
  if (plan.inFolder && createRunFolders(plan.folderPath, blocker) < 0) {
    if (!blocker.empty()) SetLastError(ERROR_FILE_EXISTS);
    return false;
  }
  for (size_t k = 0; k < table.entries.size(); ++k) {
    const ShortcutRecord& shortcut = table.entries[k];
    LinkFields fields = linkFields(shortcut);
    if (plan.inFolder && !makeLink(fields, programFolderLink(plan.programs, s.programFolder, shortcut.linkName)))
      return false;
    bool marked = shortcutMarked(table, k);
    if (plan.direct && marked && !makeLink(fields, directLink(plan.programs, shortcut.linkName))) return false;
    if (plan.onDesktop && marked && !makeLink(fields, directLink(plan.desktop, shortcut.linkName))) return false;
  }
  return true;
}

// Deletes a link; the log names the links that went.
void removeLink(const std::string& path, const std::string& base) {
  bool there = GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
  deleteShellLink(path, base);
  if (there && GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) logEvent(LogKind::Remove, path);
}

void removeShortcuts(const ShortcutTable& table, int mode) {
  const RunState& s = runState();
  LinkPlan plan = planLinks(mode != kRegistrationOnly);
  for (size_t k = 0; k < table.entries.size(); ++k) {
    const std::string& name = table.entries[k].linkName;
    if (plan.inFolder) removeLink(programFolderLink(plan.programs, s.programFolder, name), plan.folderPath);
    bool marked = shortcutMarked(table, k);
    if (plan.direct && marked) removeLink(directLink(plan.programs, name), plan.programs);
    if (plan.onDesktop && marked) removeLink(directLink(plan.desktop, name), plan.desktop);
  }
  // Fails while anything but "." and ".." is left in it.
  if (plan.inFolder) RemoveDirectoryA(plan.folderPath.c_str());
}

bool writeApplicationPaths(const ShortcutTable& table) {
  for (const ShortcutRecord& shortcut : table.entries) {
    if (!(shortcut.appPathFlags & 3)) continue;
    std::string key = appPathsKey(shortcut.target);
    std::string target = expandRunPath(shortcut.target);
    // The unnamed value keeps its terminating zero, "Path" does not.
    if ((shortcut.appPathFlags & 1) && !runWriteText(HKEY_LOCAL_MACHINE, key, nullptr, target, true)) return false;
    if ((shortcut.appPathFlags & 2) && !runWriteText(HKEY_LOCAL_MACHINE, key, "Path", appPathsFolder(target), false))
      return false;
  }
  return true;
}

void removeApplicationPaths(const ShortcutTable& table) {
  for (const ShortcutRecord& shortcut : table.entries)
    if (shortcut.appPathFlags & 3) RegDeleteKeyA(HKEY_LOCAL_MACHINE, appPathsKey(shortcut.target).c_str());
}

// Kilobytes of the files this run installs, for the software list.
DWORD installedKilobytes() {
  const RunState& s = runState();
  unsigned long long bytes = 0;
  for (int n : typeComponentList(s.selectedType))
    if (n >= 0 && static_cast<size_t>(n) < s.components.size() && componentProcessed(n) &&
        !(s.components[n].flags & kComponentRegistry) && s.components[n].size > 0)
      bytes += static_cast<unsigned long long>(s.components[n].size);
  return static_cast<DWORD>((bytes + 1023) / 1024);
}

bool writeUninstallEntry(const ApplicationIdentity& id) {
  const RunState& s = runState();
  std::string key = uninstallKeyPath(id.application, id.version);
  std::string program = s.installDir + "\\SETUP.EXE";
  // Quoted: the software list splits an unquoted command at the first
  // blank, and installation directories usually have blanks. Deployment
  // tools take the quiet command, which removes without asking.
  logEvent(LogKind::Uninstall, "HKEY_LOCAL_MACHINE\\" + key);
  return runWriteText(HKEY_LOCAL_MACHINE, key, "DisplayName", uninstallDisplayName(id.application, id.version)) &&
         runWriteText(HKEY_LOCAL_MACHINE, key, "UninstallString", "\"" + program + "\" ZETUREMOVE") &&
         runWriteText(HKEY_LOCAL_MACHINE, key, "QuietUninstallString", "\"" + program + "\" ZETUREMOVE /S") &&
         runWriteText(HKEY_LOCAL_MACHINE, key, "DisplayVersion", id.version) &&
         runWriteText(HKEY_LOCAL_MACHINE, key, "Publisher", id.company) &&
         runWriteText(HKEY_LOCAL_MACHINE, key, "InstallLocation", s.installDir) &&
         runWriteText(HKEY_LOCAL_MACHINE, key, "DisplayIcon", program) &&
         runWriteDword(HKEY_LOCAL_MACHINE, key, "EstimatedSize", installedKilobytes());
}

// The install direction; the first failing write ends it with the
// system's text for its error, and the run fails.
bool installDirection(int mode) {
  RunState& s = runState();
  if (HWND dialog = s.progressDialog) {
    SetDlgItemTextA(dialog, IDC_CURRENT_FILE, languageString(STR_REGISTERING).c_str());
    ShowWindow(GetDlgItem(dialog, IDC_CURRENT_FILE), SW_SHOW);
    UpdateWindow(dialog);
  }
  RegistryKeys& registry = runRegistry();
  size_t failuresBefore = runRegistryFailures();
  forTypeRegistry(
      [&](const ComponentRecord& c, RegistryRoot root) { writeComponentTree(registry, root, c, expandRunPath); },
      [&](size_t done, size_t count) {
        if (count == 0) {
          setProgress(mode == kRegistrationOnly ? 80 : 100);
          return;
        }
        int k = static_cast<int>(done), n = static_cast<int>(count);
        setProgress(mode == kRegistrationOnly ? 10 + 70 * k / n : 90 + 10 * k / n);
      });
  DWORD error = GetLastError();
  bool ok = runRegistryFailures() == failuresBefore;

  ShortcutTable table;
  if (ok && readShortcutTable(runProfile(), table)) {
    ok = createShortcuts(table) && writeApplicationPaths(table);
    error = GetLastError();
  }

  ApplicationIdentity id = applicationIdentity();
  const uint8_t* data;
  size_t size;
  if (ok && (hasSetting(kSettingInstallSetup) || hasSetting(kSettingInstallRemoval) ||
             runProfile().find(kProfileTypeInstallationType, 4, data, size))) {
    unsigned links = (s.quickEntry ? 1u : 0u) | (s.desktop && !s.programFolder.empty() ? 2u : 0u);
    ok = writeInstallRecord(mode, s.programFolder, links);
    error = GetLastError();
  }
  if (ok && hasUserInfoPage()) {
    // "Update entries" starts after the user-information page, so its run
    // has no texts of its own and keeps those of the installation.
    std::string key = applicationKeyPath(id.company, id.application, id.version);
    bool keep = mode == kRegistrationOnly;
    if (!keep || !registryValueExists(HKEY_LOCAL_MACHINE, key, "User"))
      ok = runWriteText(HKEY_LOCAL_MACHINE, key, "User", s.pageUserName);
    if (ok && (!keep || !registryValueExists(HKEY_LOCAL_MACHINE, key, "Company")))
      ok = runWriteText(HKEY_LOCAL_MACHINE, key, "Company", s.pageCompany);
    error = GetLastError();
  }
  // The uninstall entry last: only a run that got everything else done
  // registers one.
  if (ok && !setting(kSettingInstallRemoval).empty()) {
    ok = writeUninstallEntry(id);
    error = GetLastError();
  }
  if (!ok) {
    showSystemError(s.progressDialog, error ? error : ERROR_WRITE_FAULT);
    return false;
  }

  if (mode == kRegistrationOnly) {
    Sleep(200);
    setProgress(100);
    Sleep(200);
  }
  return true;
}

void showRemovalResult() {
  RemovalProgress& progress = removalProgress();
  HWND dialog = progress.dialog;
  if (!dialog) return;
  bool incomplete = progress.notAllRemoved || !progress.pendingDirectories.empty();
  ShowWindow(GetDlgItem(dialog, incomplete ? IDC_DONE_PARTLY : IDC_DONE_OK), SW_SHOW);
  // The removal's own figures end at 90; the end is the end.
  SendDlgItemMessageA(dialog, IDC_PROGRESS, PBM_SETPOS, 100, 0);
  EnableWindow(GetDlgItem(dialog, IDOK), TRUE);
  markUninstallStep(IDC_MARK4);
  EnableMenuItem(GetSystemMenu(dialog, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_ENABLED);
}

void removeDirection(int mode) {
  ApplicationIdentity id = applicationIdentity();
  LoggedRegistry registry;
  readInstallRecord(true);
  deleteKeyAndEmptyParents(registry, RegistryRoot::CurrentUser,
                           installRecordKeyPath(id.company, id.application, id.version), 5);

  forTypeRegistry(
      [&](const ComponentRecord& c, RegistryRoot root) {
        if (mode != kRegistrationOnly || root == RegistryRoot::CurrentUser)
          removeComponentTree(registry, root, c, expandRunPath);
      },
      [](size_t, size_t) {});

  ShortcutTable table;
  bool hasTable = readShortcutTable(runProfile(), table);
  if (hasTable) removeShortcuts(table, mode);
  markUninstallStep(IDC_MARK3);

  if (mode != kRegistrationOnly) {
    if (hasTable) removeApplicationPaths(table);
    if (hasUserInfoPage()) {
      std::string key = applicationKeyPath(id.company, id.application, id.version);
      deleteKeyAndEmptyParents(registry, RegistryRoot::LocalMachine, key, 3);
      deleteKeyAndEmptyParents(registry, RegistryRoot::CurrentUser, key, 3);
    }
  }
  retryPendingDirectories();
  showRemovalResult();
}

}  // namespace

bool runRegistration(RegistrationDirection direction, int mode) {
  if (direction == RegistrationDirection::Install) return installDirection(mode);
  removeDirection(mode);
  return true;
}

}  // namespace tw
