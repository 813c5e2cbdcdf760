// Uninstalling: the hand-off to the folder remover, the uninstall record
// read back from the end of SETUP.EXE, and the removal run with its
// uninstall dialog.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace tw {

// Starts the folder remover in the temporary folder and registers it for
// deletion at the next restart. At the end of an installation (uninstall
// false) the result is 0. In an uninstallation the result is 3 when a copy
// of this program continues the removal (this process then ends),
// otherwise the uninstall mode for a removal in place.
int removalHandOff(bool uninstall);

// The continued uninstallation (a copy started with a folder and a process
// id) takes only a folder whose SETUP.EXE carries the copy's own uninstall
// record; otherwise it says so and nothing is touched.
bool continuedUninstallTargetIsOurs(const std::string& installDir);

// Reads the record at the end of `file`. With no component table yet it
// builds the table from the record and takes its installation type;
// otherwise it marks the recorded components as installed (state bit 4).
// Also takes the recorded shortcut choices and program folder. Returns the
// installation directory's level count, or -1 for a missing, foreign or
// damaged record.
int readUninstallRecord(const std::string& file);

// The removal in `mode` (0..3) with the uninstall dialog; returns when the
// user has closed the dialog.
void uninstallRun(int mode);

// What the removal and the remove direction of the registration run share.
struct RemovalProgress {
  HWND dialog = nullptr;      // the uninstall dialog, when one is shown
  bool notAllRemoved = false;  // a file or folder could not be removed
  std::vector<std::string> pendingDirectories;
};
RemovalProgress& removalProgress();

// Sets the check mark of step control 721..724, at least half a second
// after the previous mark.
void markUninstallStep(int control);
// Tries once more to remove every pending directory.
void retryPendingDirectories();

}  // namespace tw
