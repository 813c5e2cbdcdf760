// The runtime's run-wide state: one instance for the program's life, read
// and written by the start-up, the background window, the dialog sequence
// and the install engine.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "common/install_profile.h"
#include "setup/core/main/startup_rules.h"

namespace tw {

constexpr int kStepUnset = -2;
constexpr int kFirstPageId = 200;

struct RunState {
  HINSTANCE instance = nullptr;
  HMODULE resources = nullptr;  // the resource DLL: language module and profile
  SetupCommand command;
  bool restartNeeded = false;
  int step = kStepUnset;
  int firstStep = kStepUnset;
  HWND currentDialog = nullptr;
  HWND progressDialog = nullptr;
  HWND mainWindow = nullptr;
  unsigned windowStyleBits = 0;  // bit 0 full screen, bit 1 sizeable
  int selectedType = 501;
  unsigned selectionMask = 3;
  unsigned finalChoice = 4;
  bool updateMode = false;
  bool earlierInstallation = false;
  int uninstallMode = 0;
  int rememberedType = 0;  // the earlier installation's type, for the network type
  bool installRecordFound = false;  // the per-user record of an earlier installation exists

  std::string applicationName;
  std::string versionText;  // a blank and string 1
  std::string installDir;
  std::string sourceFolder;
  std::string supportFolder;
  std::string windowsFolder, systemFolder, system16Folder, tempFolder;
  std::string commonFilesFolder, programFilesFolder, fontsFolder, desktopFolder, programsFolder;
  std::string userName;
  POINT screenCentre{0, 0};

  std::vector<ComponentRecord> components;
  std::vector<ComponentEntry> table;

  // Page data of the dialog sequence.
  std::string pageUserName, pageCompany;
  std::string programFolder;
  bool quickEntry = false, desktop = true, shortcutOptionsHidden = false;
  bool directoryValidated = false, askBeforeCreating = false, changed = false, deferredCheck = false;
  bool lastCheckPassed = false;
  unsigned long long freeSpace = 0;
};

RunState& runState();
// The install profile in the resource DLL.
const ResourceSource& runProfile();

}  // namespace tw
