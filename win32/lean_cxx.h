// The C++ support of the programs built without exceptions and without a
// C runtime (see lean_cxx.cpp and program_entry.cpp).
#pragma once

namespace tw::win32 {

// Ends the process with what as the reason shown; used where the C++
// library would throw.
[[noreturn]] void fatalLibraryFault(const char* what);

// Runs the destructors of static objects registered so far, last first.
void runExitHandlers();

}  // namespace tw::win32
