// Error output of the binder: to stderr when there is one, silently dropped
// when the binder runs detached without a console.
#pragma once

#include <string>

void writeError(const std::wstring& text);

// The system's text for a Win32 error code, without the trailing line break;
// a "%1" in it stands for subject.
std::wstring systemErrorText(unsigned long code, const std::wstring& subject = L"the file");
