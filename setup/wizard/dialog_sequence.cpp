// The step engine of the wizard and the checks between its steps.
#include "setup/wizard/dialog_sequence.h"

#include <shlobj.h>

#include "language/ids.h"
#include "setup/background/background_host.h"
#include "setup/core/wizard/destination_walk.h"
#include "setup/core/wizard/page_rules.h"
#include "setup/engine/install_engine.h"
#include "setup/main/runtime_files.h"
#include "setup/main/runtime_messages.h"
#include "setup/main/runtime_state.h"
#include "setup/main/system_folders.h"
#include "setup/wizard/unattended_run.h"
#include "setup/main/user_interface.h"

namespace tw {
namespace {

constexpr int kNoSequence = 255;

typedef LONG(WINAPI* ExpandCallback)(char*, LONG);
typedef LONG(WINAPI* AfterInstallHook)(HWND, ExpandCallback);
typedef LONG(WINAPI* BeforeExitHook)(HWND);

// An export of the resource DLL, or null.
void* hook(const char* name) { return reinterpret_cast<void*>(GetProcAddress(runState().resources, name)); }

bool sameApplication(HMODULE other) {
  const RunState& s = runState();
  for (UINT id = 0; id <= 2; ++id) {
    char a[256], b[256];
    int na = LoadStringA(s.resources, id, a, sizeof a), nb = LoadStringA(other, id, b, sizeof b);
    if (na != nb || lstrcmpA(a, b) != 0) return false;
  }
  return true;
}

bool longNamesAvailable(const std::string& path) {
  char root[4] = {path[0], ':', '\\', 0};
  DWORD maxComponent = 0, flags = 0;
  if (!GetVolumeInformationA(root, nullptr, 0, nullptr, &maxComponent, &flags, nullptr, 0)) return false;
  return maxComponent >= 255;
}


}  // namespace

bool pageExists(int step) {
  return FindResourceA(runState().resources, MAKEINTRESOURCEA(kFirstPageId + step), RT_DIALOG) != nullptr;
}

bool profileHasType(int typeIndex) {
  const uint8_t* data;
  size_t size;
  return runProfile().find(kProfileTypeInstallationType, static_cast<uint16_t>(typeIndex + 1), data, size);
}

bool ValidateDestination(std::string path, unsigned flags) {
  RunState& s = runState();
  if (!(flags & kValidateSkipPath)) {
    // Only a folder on a drive letter is a destination: a share name, a
    // drive-relative "X:", a path past the system's limit and a drive that
    // does not exist all end here, with the path shown.
    RuntimeFileSystem files;
    AncestorWalk walk = walkToExisting(files, path);
    size_t missing = walk.missing.size();
    bool usable = walk.found() && walk.existingInfo.directory && !(missing == 0 && walk.existingInfo.readOnly);
    if (!usable) {
      showMessage(STR_MSG_CANNOT_CREATE, MB_OK | MB_ICONERROR, path.c_str());
      return false;
    }
    path = walk.path;
    std::string longNames;
    if (readSettingString(runProfile(), kSettingLongNames, longNames) && !longNamesAvailable(path)) {
      showMessage(STR_MSG_NO_LONG_NAMES, MB_OK | MB_ICONERROR, s.applicationName.c_str());
      return false;
    }
    if (missing > 0 && s.askBeforeCreating &&
        showMessage(STR_MSG_CREATE_FOLDER, MB_YESNOCANCEL | MB_ICONQUESTION, nullptr, IDYES) != IDYES)
      return false;
    s.directoryValidated = true;
    s.installDir = path;
    if (!driveFreeBytes(path, s.freeSpace)) s.freeSpace = 0;
    s.changed = true;
  }

  bool network = s.selectedType == kTypeIdNetwork;
  if ((s.changed && s.step > 5 && network) || (!(flags & kValidateOnly) && profileHasType(3))) {
    HMODULE earlier = LoadLibraryExA((s.installDir + "\\SETUP.DLL").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    bool same = earlier && sameApplication(earlier);
    if (earlier) FreeLibrary(earlier);
    if (same && !network) {
      InstallationTypeRecord networkType;
      readInstallationType(runProfile(), 3, networkType);
      // Unattended: the type asked for stays, over the earlier installation.
      if (showMessage(STR_MSG_EARLIER_FOUND, MB_YESNOCANCEL | MB_ICONQUESTION, networkType.name.c_str(), IDNO) !=
          IDNO)
        return false;
    } else if (!same && network) {
      showMessage(STR_MSG_NO_EARLIER, MB_OK | MB_ICONERROR);
      return false;
    }
  }
  s.changed = false;
  if (flags & kValidateOnly) return true;
  if (s.deferredCheck) {
    s.deferredCheck = false;
    flags = 0;
  }
  if (network) {
    s.selectionMask = 4;
    flags |= kRunNetworkPass;
  }
  bool ok = installEngine().installRun(flags | kRunCheckPass);
  s.selectionMask = 3;
  s.lastCheckPassed = ok;
  return ok;
}

int Transition(int from, int to) {
  RunState& s = runState();
  if (to > 6 && from < 5) {
    unsigned flags = (s.firstStep >= 1 && s.firstStep <= 6) ? 0 : kValidateQuiet;
    if (s.directoryValidated) flags |= kValidateSkipPath;
    if (s.lastCheckPassed) flags |= kValidateOnly;
    if (!ValidateDestination(s.installDir, flags)) return 1;
  }
  int result = 0;
  bool installs = s.updateMode ? to > kStepProgress : to > kStepPicture;
  if (installs && (from <= kStepSummary || from >= kStepMaintenance)) {
    if (to != kNoSequence && s.currentDialog) {
      ShowWindow(s.currentDialog, SW_HIDE);
      s.currentDialog = nullptr;
      setBackgroundPage(nullptr);
    }
    if (s.updateMode) {
      (void)installEngine().registrationRun(RegistrationDirection::Install, 1);
    } else {
      logDecisions();
      if (!runInstallPasses()) {
        noteRunFailed();
        result = 2;
      }
    }
  }
  s.selectionMask = 3;
  return result;
}

void NextDlg(int direction, HWND parent) {
  RunState& s = runState();
  int previous = s.step;
  HWND old = s.currentDialog;
  bool customType = profileHasType(2);
  do {
    if (s.step == kStepRestart) {
      if (auto after = reinterpret_cast<AfterInstallHook>(hook("ZETUAfterInstallProc")))
        if (after(parent, expandForHook)) s.restartNeeded = true;
      if (s.progressDialog) ShowWindow(s.progressDialog, SW_HIDE);
    }
    s.step += direction;
    if (s.step < kStepUnset) {  // Back before the first page: nothing to go to
      s.step = previous;
      return;
    }
    bool componentsWanted = componentPageShown(s.selectedType, customType);
    if ((s.step == kStepComponents && !componentsWanted) || !pageExists(s.step)) continue;
    old = s.currentDialog;
    if (s.step <= kStepFinish) {
      if (s.firstStep == kStepUnset) s.firstStep = s.step;
      int t = Transition(previous, s.step);
      if (t == 1) {
        s.step = previous;
        s.currentDialog = old;
        return;
      }
      if (t == 2) {
        PostQuitMessage(0);
        return;
      }
    }
    if ((s.updateMode && (s.step == kStepSummary || s.step == kStepPicture || s.step == kStepRestart)) ||
        (s.step == kStepRestart && !s.restartNeeded)) {
      previous = s.step;
      continue;
    }
    HWND page = CreateDialogParamA(s.resources, MAKEINTRESOURCEA(kFirstPageId + s.step), parent,
                                   pageProcedure(s.step), 0);
    if (!page) {
      noteRunFailed();
      reportError(parent, "Window creation error in NextDlg", MB_OK);
      PostQuitMessage(0);
    } else {
      centerDialog(page, old);
    }
    if (old) DestroyWindow(old);
    s.currentDialog = page;
    setBackgroundPage(page);
    if (s.step != kStepProgress && s.step != kStepPicture) return;
    if (s.step == kStepProgress) {
      s.progressDialog = page;
      s.step = kStepPicture;
    } else {
      s.progressDialog = nullptr;
    }
    if (Transition(kStepSummary, kNoSequence) != 0) {
      PostQuitMessage(0);
      return;
    }
    previous = s.step;
  } while (s.step >= kStepUnset && s.step <= kStepRestart);

  if (s.step >= kStepUninstall) return;
  Transition(previous, s.step);
  if (s.step == kStepFinish) {  // the finish page is absent
    if (old) DestroyWindow(old);
    if (auto before = reinterpret_cast<BeforeExitHook>(hook("ZETUBeforeExit"))) before(parent);
    PostQuitMessage(0);
  }
}

}  // namespace tw
