// TMultiEdit over the system's multi-line edit.
#include "builder/window/multi_edit.h"

namespace tw {
namespace {

const char kOldProc[] = "TwMultiEditProc";
const char kSingleLine[] = "TwMultiEditSingle";

LRESULT CALLBACK multiEditProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  WNDPROC old = reinterpret_cast<WNDPROC>(GetPropA(h, kOldProc));
  bool single = GetPropA(h, kSingleLine) != nullptr;
  switch (msg) {
    case WM_GETDLGCODE:
      // Enter belongs to the dialog's default button when no lines are taken.
      if (single) return CallWindowProcA(old, h, msg, wp, lp) & ~DLGC_WANTALLKEYS;
      break;
    case WM_CHAR:
      if (single && (wp == '\r' || wp == '\n')) return 0;
      break;
    case WM_PASTE:
      if (single) {
        LRESULT r = CallWindowProcA(old, h, msg, wp, lp);
        std::string text = multiEditText(h);
        std::string flat;
        for (char c : text)
          if (c != '\r' && c != '\n') flat.push_back(c);
        if (flat != text) {
          SetWindowTextA(h, flat.c_str());
          SendMessageA(h, EM_SETMODIFY, TRUE, 0);
        }
        return r;
      }
      break;
    case WM_NCDESTROY:
      SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
      RemovePropA(h, kOldProc);
      RemovePropA(h, kSingleLine);
      break;
    default: break;
  }
  return CallWindowProcA(old, h, msg, wp, lp);
}

}  // namespace

void makeMultiEdit(HWND edit, bool singleLine) {
  if (!edit || GetPropA(edit, kOldProc)) return;
  SetPropA(edit, kOldProc, reinterpret_cast<HANDLE>(GetWindowLongPtrA(edit, GWLP_WNDPROC)));
  if (singleLine) SetPropA(edit, kSingleLine, reinterpret_cast<HANDLE>(1));
  SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(multiEditProc));
}

void multiEditSetText(HWND edit, const std::string& text) {
  // The control wants CR LF line ends; the model keeps what it was given.
  std::string shown;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) shown.push_back('\r');
    shown.push_back(text[i]);
  }
  SetWindowTextA(edit, shown.c_str());
  SendMessageA(edit, EM_SETMODIFY, FALSE, 0);
}

std::string multiEditText(HWND edit) {
  int n = GetWindowTextLengthA(edit);
  std::string s(static_cast<size_t>(n) + 1, '\0');
  GetWindowTextA(edit, &s[0], n + 1);
  s.resize(static_cast<size_t>(n));
  return s;
}

bool multiEditModified(HWND edit) { return SendMessageA(edit, EM_GETMODIFY, 0, 0) != 0; }

std::string multiEditTake(HWND edit) {
  SendMessageA(edit, EM_SETMODIFY, FALSE, 0);
  return multiEditText(edit);
}

void multiEditSetReadOnly(HWND edit, bool readOnly) { SendMessageA(edit, EM_SETREADONLY, readOnly, 0); }

}  // namespace tw
