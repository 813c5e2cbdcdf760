// The dialog sequence: the step engine that moves between the wizard pages,
// the transition rule that runs the checks and installation runs between
// two steps, and the destination check.
#pragma once
#include <windows.h>

#include <string>

namespace tw {

// Steps of the sequence that the start-up and the pages ask for by name: a
// step is its page's dialog id minus 200.
constexpr int kStepDestination = 5, kStepSetupType = 6, kStepComponents = 7, kStepSummary = 9;
constexpr int kStepProgress = 10, kStepPicture = 11;
constexpr int kStepRestart = 12, kStepFinish = 13, kStepMaintenance = 14, kStepUninstall = 15;

constexpr unsigned kValidateQuiet = 0x02;
constexpr unsigned kValidateSkipPath = 0x04;
constexpr unsigned kValidateOnly = 0x10;
constexpr unsigned kValidateNetwork = 0x20;

void NextDlg(int direction, HWND parent);
// 0 go on, 1 stay, 2 stop.
int Transition(int from, int to);
bool ValidateDestination(std::string path, unsigned flags);

// The procedure every page procedure ends with.
INT_PTR commonPageProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp);
// The page procedure of a step (0..15).
DLGPROC pageProcedure(int step);

bool pageExists(int step);
// The cancel confirmation (dialog 100): true when the user ends Setup.
bool confirmCancel(HWND owner);
bool profileHasType(int typeIndex);

}  // namespace tw
