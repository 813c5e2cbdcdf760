// How the runtime talks to the user: one interface for messages, questions
// and progress, implemented by the wizard (boxes and dialogs) and by the
// unattended runs (every question takes the answer the caller gives for
// it, nothing is shown). Every message and answer also goes to the run log.
#pragma once
#include <windows.h>

#include <string>

#include "setup/core/unattended/log_text.h"

namespace tw {

// One message box.
struct Prompt {
  HWND owner = nullptr;
  std::string text;
  UINT style = MB_OK;
  const char* caption = "Setup";
  // The button an unattended run takes: the answer a careful
  // administrator would give.
  int unattended = IDOK;
};

class UserInterface {
 public:
  virtual ~UserInterface() = default;
  // Shows the box (or not) and returns the button.
  virtual int ask(const Prompt& prompt) = 0;
  // Dialog 101: overwrite the read-only file? askAgain is cleared when the
  // user asks not to be asked again.
  virtual bool overwriteReadOnly(HWND owner, const std::string& path, bool& askAgain) = 0;
  // Dialog 100: true when the user ends Setup.
  virtual bool confirmCancel(HWND owner) = 0;
  // Whether the check pass's progress dialog and the uninstall dialog are
  // shown.
  virtual bool showsProgress() const = 0;
  // Whether the background window is shown.
  virtual bool showsBackground() const = 0;
  // False in unattended runs: nothing is asked.
  virtual bool asks() const = 0;
};

UserInterface& userInterface();
// Unattended from here on: with progress, the background and the copy's
// progress are shown; otherwise no window at all.
void useUnattendedInterface(bool progress);

// The wizard's own dialogs, behind the wizard's interface.
bool readOnlyDialog(HWND owner, const std::string& path, bool& askAgain);
bool cancelDialog(HWND owner);

// The run log (the /LOG file); writes nothing until it is opened.
RunLog& runLog();
// Appends to `path` from now on; false when the file cannot be written.
bool openRunLog(const std::string& path);
void logEvent(LogKind kind, const std::string& text);
// "Fehler N: system text" for a Win32 error code.
std::string systemErrorText(DWORD code);

// Shorthands for the user interface with the log.
int askUser(const Prompt& prompt);
// An error that ends the run: its text in a box (caption "Setup") and in
// the log as ERROR.
void reportError(HWND owner, const std::string& text, UINT style);

}  // namespace tw
