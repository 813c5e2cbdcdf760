// Runs without the wizard: the switches of the command line in place of the
// pages' choices, the outcome of a run and its exit code.
#pragma once
#include <string>
#include <vector>

#include "setup/core/unattended/switches.h"

namespace tw {

// The switches of this run (none for a wizard started without any).
Switches& runSwitches();

// What ended the run; the first failure or cancel stands.
void noteRunFailed();
void noteRunCancelled();
bool runFailed();
// The exit code of an install-type run: 1603 failed, 1602 cancelled, 3010
// succeeded but a restart is needed, 0 succeeded.
int installExitCode();
// Logs the exit code as the log's last line and returns it.
int finishRun(int code);

// The pages' choices from the switches, before the wizard or the unattended
// run starts: type, directory, components, program folder, links, user.
// False (the reason logged) when a switch names what the package does not
// have.
bool applySwitchChoices();

// The unattended installation: the checks and runs of the wizard's
// sequence, every question answered as the user interface says. Returns
// whether it succeeded; the outcome is noted.
bool unattendedInstall();

// The copy pass (with the network pass for a network type) and the
// registration of a new installation, as the wizard and the unattended run
// start them once the choices are made; the run is ended either way.
bool runInstallPasses();

// The user's name or company that an earlier setup left for the user
// ("DefName", "DefCompany"), or empty.
std::string userInfoDefault(const char* name);

// The profile and the choices, as the log's PROFILE and DECISION lines.
void logProfile();
void logDecisions();

// The switches to hand on to a copy of the program (the removal's
// continuation), each quoted: empty when there are none.
std::string switchesForCopy();

}  // namespace tw
