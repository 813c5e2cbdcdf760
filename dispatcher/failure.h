// The dispatcher's two failure messages.
#pragma once

#include <windows.h>

namespace tw::dispatcher {

constexpr UINT kStringNoWorkFolder = 1040;

// Shows the system's text for the last error code under "Setup"; a text
// that names a file ("%1 is not a valid Win32 application") names subject.
void showGeneralFailure(const char* subject);

// Shows message 1040 naming the temporary path in its long spelling.
void showWorkFolderFailure(HINSTANCE instance, const char* tempPath);

}  // namespace tw::dispatcher
