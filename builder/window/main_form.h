// TAppForm: the builder's main window.
#pragma once
#include <windows.h>

#include <string>

namespace tw {

// Runs the main window until it closes; `projectPath` (full path, may be
// empty) is opened instead of the last project.
int runMainWindow(HINSTANCE instance, const std::string& projectPath);

}  // namespace tw
