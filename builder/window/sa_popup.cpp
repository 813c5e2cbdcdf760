// The alias menu and the edits it serves.
#include "builder/window/sa_popup.h"

#include "builder/project/property_forms.h"

namespace tw {
namespace {
const char kOldProc[] = "TwAliasProc";
const char kUsedFlag[] = "TwAliasUsed";
const UINT kFirstItem = 100;
}  // namespace

SAPopup::SAPopup() : menu_(CreatePopupMenu()) {}
SAPopup::~SAPopup() { DestroyMenu(menu_); }

SAPopup& aliasMenu() {
  static SAPopup menu;
  return menu;
}

void SAPopup::rebuild(const ProjectDocument& doc) {
  std::vector<std::string> wanted = aliasMenuItems(doc);
  // The fixed part is made once; from position 14 on, items are renamed,
  // created or deleted to match the file components.
  int count = GetMenuItemCount(menu_);
  for (size_t i = 0; i < wanted.size(); ++i) {
    UINT id = kFirstItem + static_cast<UINT>(i);
    if (static_cast<int>(i) < count) {
      if (i > kFixedAliasCount) ModifyMenuA(menu_, static_cast<UINT>(i), MF_BYPOSITION | MF_STRING, id, wanted[i].c_str());
    } else if (wanted[i].empty()) {
      AppendMenuA(menu_, MF_SEPARATOR, 0, nullptr);
    } else {
      AppendMenuA(menu_, MF_STRING, id, wanted[i].c_str());
    }
  }
  while (GetMenuItemCount(menu_) > static_cast<int>(wanted.size()))
    DeleteMenu(menu_, static_cast<UINT>(GetMenuItemCount(menu_) - 1), MF_BYPOSITION);
  items_ = wanted;
}

void SAPopup::attach(HWND edit, bool* used) {
  if (!edit || GetPropA(edit, kOldProc)) return;
  SetPropA(edit, kOldProc, reinterpret_cast<HANDLE>(GetWindowLongPtrA(edit, GWLP_WNDPROC)));
  SetPropA(edit, kUsedFlag, used);
  SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(editProc));
}

bool SAPopup::show(HWND edit, LPARAM lp) {
  POINT at = {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
  if (lp == -1) {  // from the keyboard: at the caret
    GetCaretPos(&at);
    ClientToScreen(edit, &at);
  }
  SetFocus(edit);
  UINT chosen = static_cast<UINT>(
      TrackPopupMenu(menu_, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, edit, nullptr));
  if (chosen < kFirstItem || chosen - kFirstItem >= items_.size()) return false;
  // EM_REPLACESEL puts the text at the caret, replacing the selection.
  SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(items_[chosen - kFirstItem].c_str()));
  return true;
}

LRESULT CALLBACK SAPopup::editProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  WNDPROC old = reinterpret_cast<WNDPROC>(GetPropA(h, kOldProc));
  if (msg == WM_CONTEXTMENU && GetKeyState(VK_SHIFT) < 0) {
    if (aliasMenu().show(h, lp)) {
      if (bool* used = static_cast<bool*>(GetPropA(h, kUsedFlag))) *used = true;
    }
    return 0;  // the edit's own menu stays closed
  }
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
    RemovePropA(h, kOldProc);
    RemovePropA(h, kUsedFlag);
  }
  return CallWindowProcA(old, h, msg, wp, lp);
}

}  // namespace tw
