// UTF-8 output of the UI driver on stdout and stderr, whatever the code pages.
#pragma once
#include <windows.h>

// Writes wide text as UTF-8 bytes; the Unix side of Wine passes them on as
// they are, so a bash script reads umlauts intact.
void writeOut(const wchar_t* text);
void writeOutLine(const wchar_t* text);
void writeErrLine(const wchar_t* text);

// printf-style into a fixed buffer (wvsprintfW's 1024 characters are enough
// for one message line; longer texts go through writeOut).
void printOut(const wchar_t* format, ...);
void printErr(const wchar_t* format, ...);
