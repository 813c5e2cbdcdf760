// The runtime's command line beyond its keywords: the switches with which
// administrators install and remove without a wizard, and the exit codes
// that tell deployment tools how a run ended.
#pragma once
#include <string>
#include <vector>

namespace tw {

constexpr int kExitSuccess = 0;
constexpr int kExitRestartNeeded = 3010;
constexpr int kExitCancelled = 1602;
constexpr int kExitFailed = 1603;
constexpr int kExitBadSwitches = 87;

// Splits a command line as the runtime reads it: blanks and tabs separate
// arguments, double quotes group and are dropped, anywhere in an argument
// ("/DIR="C:\Program Files\X"" gives /DIR=C:\Program Files\X). A backslash
// is always a path separator, never an escape, so "C:\X\" stays C:\X\.
std::vector<std::string> splitCommandLine(const std::string& line);

// An argument that starts with "/" or "-".
bool isSwitch(const std::string& argument);

struct Switches {
  bool silent = false;       // /S: no window at all
  bool progressOnly = false; // /PROGRESS: the background and the copy progress, no questions
  bool noShortcuts = false, noDesktop = false, noRestart = false;
  bool hasDir = false, hasGroup = false, hasUser = false, hasCompany = false, hasLog = false;
  bool hasComponents = false;
  std::string dir, group, user, company, log;
  int type = 0;  // 501..504, 0 when not given
  std::vector<std::string> components;
  std::vector<std::string> bad;  // the arguments not understood, as given

  // No question is put to the user.
  bool unattended() const { return silent || progressOnly; }
  bool any() const;
};

// Every argument must be a switch: names without case, "/X" and "-X" alike,
// values after "=" or ":". Anything else lands in `bad`.
Switches parseSwitches(const std::vector<std::string>& arguments);

// 501..504 for Normal, Minimal, Benutzer, Netzwerk (any case) or the
// number itself; 0 for anything else.
int installationTypeFromName(const std::string& name);

// Whether two names are the same without regard to case (ASCII and the
// CP1252 letters).
bool sameNameIgnoringCase(const std::string& a, const std::string& b);

// The text that lists the switches, for the box that answers bad ones.
std::string switchUsage();

}  // namespace tw
