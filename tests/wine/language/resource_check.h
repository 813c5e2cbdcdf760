// Checks the strings, pictures, icons and version resources that a language module must carry.
#pragma once
#include <windows.h>
#include "report.h"

// Every contract string present and dumped as "string <id>=<text>"; string
// 10000 must equal languageName.
void checkStrings(HMODULE module, const wchar_t* languageName, Report& report);
// Bitmaps 100-104 with the shapes the component list and the fade expect,
// icon groups 2 and 3, version resources 2 and 3.
void checkPictures(HMODULE module, Report& report);
