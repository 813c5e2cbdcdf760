// The runtime's shared message and dialog helpers: system errors, language
// messages with caption "Setup", centring, "%1" formatting, pumping.
#pragma once
#include <windows.h>

#include <string>

namespace tw {

// The system's text for `code` (the last error when 0), caption "Setup",
// information icon; owned by `owner` or else the main window.
void showSystemError(HWND owner, DWORD code);
// Language string `id` (with "%s" replaced by `argument` when given) in a
// box with caption "Setup"; returns the button pressed, or in an unattended
// run `unattended` without asking. The log has both.
int showMessage(int id, UINT style, const char* argument = nullptr, int unattended = IDOK);
// Language string `id` of the resource DLL, or empty.
std::string languageString(int id);
// Centres the dialog on the screen centre and shows it after `insertAfter`.
void centerDialog(HWND dialog, HWND insertAfter);
// "%1" replaced by the value, "%n" by a line break, "%%" by "%".
std::string formatName(const std::string& pattern, const std::string& value);
// Formats the text of control `id` (the window itself for 0) with
// `argument` (the application name when null) as "%1".
void formatWithName(HWND window, int id, const char* argument = nullptr);
// Dispatches queued messages until none is left or a quit message comes
// (which is put back).
void pumpPending();

}  // namespace tw
