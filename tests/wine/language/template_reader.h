// Reads a classic dialog template (DLGTEMPLATE) as stored in a module: its size, font and the place of each control.
#pragma once
#include <windows.h>

struct TemplateItem {
  int id;
  short x, y, cx, cy;
  DWORD style;
};

struct TemplateInfo {
  DWORD style;
  short cx, cy;
  WORD pointSize;       // 0 without DS_SETFONT
  wchar_t font[64];
  wchar_t className[64];  // empty for the system dialog class
  int itemCount;
  TemplateItem items[96];
};

// False when the bytes are not a classic template or end early.
bool readTemplate(const BYTE* bytes, DWORD size, TemplateInfo* info);
