// Fills a page the way Setup would: "%1" replaced by the application name and sample values in its fields.
#pragma once
#include <windows.h>

struct PageState {
  HMODULE module;
  int dialogId;
  const wchar_t* appName;
  HBITMAP stateCells;  // bitmap 101 for the component list
  HBITMAP mark;        // bitmap 102 for the uninstall steps
};

// Replaces "%1" where Setup and the dispatcher do (controls 710, 522, 700,
// 101, 701 and the title of 215).
void formatLikeSetup(HWND dialog, const PageState& state);
// Sample content for a screenshot: texts, list entries, progress, marks.
void fillSampleContent(HWND dialog, const PageState& state);
// Owner drawing of the component list 401 on page 207; true when handled.
bool drawComponentRow(const DRAWITEMSTRUCT* item, const PageState& state);
