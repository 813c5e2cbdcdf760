// The dispatcher's two failure messages.
#pragma once

#include <windows.h>

namespace tw::dispatcher {

constexpr UINT kStringNoWorkFolder = 1040;

// Shows the system's text for the last error code under "Setup"; a text
// that names a file ("%1 is not a valid Win32 application") names subject.
void showGeneralFailure(const char* subject);

// The environment variable that tells the runtime the folder the package
// was started in (its own current folder is the work folder).
constexpr char kCallerFolderVariable[] = "ZETUCALLERDIR";

// Appends the failure (the system's text for code) and exit code 1603 to
// the run log, as the runtime writes its lines; nothing without a log.
void logFailure(const char* logPath, DWORD code);

// Shows message 1040 naming the temporary path in its long spelling.
void showWorkFolderFailure(HINSTANCE instance, const char* tempPath);

}  // namespace tw::dispatcher
