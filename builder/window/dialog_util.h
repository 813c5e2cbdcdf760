// Small helpers of the builder's dialogs: texts and check marks of items.
#pragma once
#include <windows.h>

#include <string>

namespace tw {

inline std::string itemText(HWND dlg, int id) {
  HWND h = GetDlgItem(dlg, id);
  int n = GetWindowTextLengthA(h);
  std::string s(static_cast<size_t>(n) + 1, '\0');
  GetWindowTextA(h, &s[0], n + 1);
  s.resize(static_cast<size_t>(n));
  return s;
}
inline void setItemText(HWND dlg, int id, const std::string& text) { SetDlgItemTextA(dlg, id, text.c_str()); }
inline bool itemChecked(HWND dlg, int id) { return IsDlgButtonChecked(dlg, id) == BST_CHECKED; }
inline void setItemChecked(HWND dlg, int id, bool on) { CheckDlgButton(dlg, id, on ? BST_CHECKED : BST_UNCHECKED); }
inline void enableItem(HWND dlg, int id, bool on) { EnableWindow(GetDlgItem(dlg, id), on); }

// The instance whose resources hold the dialogs (the program itself).
inline HINSTANCE programInstance() { return GetModuleHandleA(nullptr); }

}  // namespace tw
