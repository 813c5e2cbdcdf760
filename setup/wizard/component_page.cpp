// The custom setup page: one level of the chosen type's component tree in
// an owner-drawn list with check boxes or option buttons, sizes, the
// description, and "Details" to descend into sub-components.
#include <windows.h>

#include <string>
#include <vector>

#include "language/ids.h"
#include "setup/core/wizard/selection_walk.h"
#include "setup/core/wizard/size_text.h"
#include "setup/wizard/dialog_sequence.h"
#include "setup/main/runtime_messages.h"
#include "setup/main/runtime_state.h"

namespace tw {
namespace {

constexpr int kRowHeight = 16, kStateImageWidth = 18, kMaxLevels = 256, kMaxName = 48;

struct Level {
  size_t node;
  int selectedIndex;
};

struct ComponentPage {
  std::vector<SelectionComponent> components;
  SelectionTree* tree = nullptr;
  std::vector<Level> levels;
  std::string baseTitle;
  HBITMAP states = nullptr, pictures = nullptr;
  HDC memory = nullptr;
  int textOffset = kRowHeight;  // computed on the first draw

  ~ComponentPage() {
    delete tree;
    if (states) DeleteObject(states);
    if (pictures) DeleteObject(pictures);
    if (memory) DeleteDC(memory);
  }
};

ComponentPage* pageOf(HWND d) { return reinterpret_cast<ComponentPage*>(GetWindowLongPtrA(d, DWLP_USER)); }

// The page works on a copy of the selection and gives it back on leaving.
void loadSelection(ComponentPage& p) {
  const RunState& s = runState();
  p.components.clear();
  for (size_t i = 0; i < s.table.size(); ++i) {
    SelectionComponent c;
    c.flags = s.table[i].flags;
    c.state = s.table[i].state;
    c.size = componentSize(s.table[i]);
    c.needed = s.table[i].needed;
    p.components.push_back(c);
  }
}

void storeSelection(const ComponentPage& p) {
  RunState& s = runState();
  for (size_t i = 0; i < s.table.size() && i < p.components.size(); ++i)
    s.table[i].state = static_cast<uint16_t>(p.components[i].state);
}

std::string itemText(ComponentPage& p, size_t node, uint64_t bytes) {
  const std::vector<ComponentRecord>& records = runState().components;
  SelectionComponent* c = p.tree->component(node);
  size_t number = c ? static_cast<size_t>(c - p.components.data()) : 0;
  std::string name = number < records.size() ? records[number].name.substr(0, kMaxName) : std::string();
  return name + "%" + std::to_string(kilobytesForList(bytes));
}

uint64_t selectedBelow(ComponentPage& p, size_t node) {
  WalkSums sums;
  p.tree->walk(node, 0, WalkAction{}, sums);
  return sums.selectedSize;
}

void refreshSizes(HWND d, ComponentPage& p, WalkAction action, uint64_t* changed = nullptr) {
  WalkSums sums = p.tree->refresh(action);
  if (changed) *changed = sums.bytesChanged;
  SetDlgItemTextA(d, IDC_NEEDED, megabytesText(sums.selectedNeeded).c_str());
  SetDlgItemTextA(d, IDC_AVAILABLE, megabytesText(runState().freeSpace).c_str());
}

void fillList(HWND d, ComponentPage& p) {
  HWND list = GetDlgItem(d, IDC_LIST);
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  for (size_t child : p.tree->children(p.levels.back().node)) {
    SelectionComponent* c = p.tree->component(child);
    if (!c || (c->flags & kFlagNotOffered)) continue;
    std::string text = itemText(p, child, selectedBelow(p, child));
    LRESULT i = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageA(list, LB_SETITEMDATA, i, static_cast<LPARAM>(child));
  }
}

void showLevelButtons(HWND d, ComponentPage& p) {
  bool top = p.levels.size() == 1;
  ShowWindow(GetDlgItem(d, IDC_BACK), top ? SW_SHOW : SW_HIDE);
  ShowWindow(GetDlgItem(d, IDC_NEXT), top ? SW_SHOW : SW_HIDE);
  ShowWindow(GetDlgItem(d, IDC_LIST_OK), top ? SW_HIDE : SW_SHOW);
  SendMessageA(d, DM_SETDEFID, top ? IDC_NEXT : IDC_LIST_OK, 0);
  std::string title = p.baseTitle;
  if (!top) {
    const std::vector<ComponentRecord>& records = runState().components;
    SelectionComponent* c = p.tree->component(p.levels.back().node);
    size_t number = c ? static_cast<size_t>(c - p.components.data()) : 0;
    if (number < records.size()) title += "(" + records[number].name + ")";
  }
  SetWindowTextA(d, title.c_str());
}

// What a selection of the list does: description, toggle, counts, Details.
void onSelection(HWND d, ComponentPage& p, bool toggle) {
  HWND list = GetDlgItem(d, IDC_LIST);
  LRESULT index = SendMessageA(list, LB_GETCURSEL, 0, 0);
  if (index < 0) return;
  size_t node = static_cast<size_t>(SendMessageA(list, LB_GETITEMDATA, index, 0));
  SelectionComponent* c = p.tree->component(node);
  if (!c) return;
  size_t number = static_cast<size_t>(c - p.components.data());
  const std::vector<ComponentRecord>& records = runState().components;
  if (number < records.size()) SetDlgItemTextA(d, IDC_DESCRIPTION, records[number].description.c_str());
  if (toggle) {
    size_t levelNode = p.levels.back().node;
    // A selected option button stays selected when clicked.
    if ((c->flags & kFlagOptionButton) && (c->state & kStateMask) == kStateSelected) toggle = false;
    if (toggle) {
      p.tree->toggle(levelNode, node);  // option siblings are deselected inside
      uint64_t changed = 0;
      refreshSizes(d, p, WalkAction{}, &changed);
      std::string text = itemText(p, node, selectedBelow(p, node));
      SendMessageA(list, WM_SETREDRAW, FALSE, 0);
      SendMessageA(list, LB_DELETESTRING, index, 0);
      SendMessageA(list, LB_INSERTSTRING, index, reinterpret_cast<LPARAM>(text.c_str()));
      SendMessageA(list, LB_SETITEMDATA, index, static_cast<LPARAM>(node));
      SendMessageA(list, LB_SETCURSEL, index, 0);
      SendMessageA(list, WM_SETREDRAW, TRUE, 0);
      InvalidateRect(list, nullptr, FALSE);
    }
  }
  WalkSums below;
  p.tree->walk(node, 0, WalkAction{}, below);
  if (below.totalCount > 0) {
    // "%u von %u Komponenten ausgew\xE4hlt.": the language text is filled in
    // by hand, never used as a format string.
    std::string pattern = languageString(STR_COMPONENTS_CHOSEN);
    size_t first = pattern.find("%u"), second = first == std::string::npos ? first : pattern.find("%u", first + 2);
    if (second != std::string::npos) {
      pattern.replace(second, 2, std::to_string(below.totalCount));
      pattern.replace(first, 2, std::to_string(below.selectedCount));
    }
    SetDlgItemTextA(d, IDC_COUNT, pattern.c_str());
    EnableWindow(GetDlgItem(d, IDC_DETAILS), TRUE);
  } else {
    SetDlgItemTextA(d, IDC_COUNT, "");
    EnableWindow(GetDlgItem(d, IDC_DETAILS), FALSE);
  }
}

void changeLevel(HWND d, ComponentPage& p, int selectIndex) {
  showLevelButtons(d, p);
  fillList(d, p);
  HWND list = GetDlgItem(d, IDC_LIST);
  SendMessageA(list, LB_SETCURSEL, selectIndex, 0);
  SetFocus(list);
  onSelection(d, p, false);
}

void drawItem(ComponentPage& p, const DRAWITEMSTRUCT& item) {
  if (item.itemID == static_cast<UINT>(-1)) return;
  HDC dc = item.hDC;
  RECT r = item.rcItem;
  if (p.textOffset == kRowHeight) {
    TEXTMETRICA tm;
    GetTextMetricsA(dc, &tm);
    p.textOffset = (kRowHeight - tm.tmHeight) / 2;
  }
  size_t node = item.itemData;
  SelectionComponent* c = p.tree->component(node);
  if (!c) return;
  if (!p.memory) p.memory = CreateCompatibleDC(dc);
  int cell = static_cast<int>(c->state & kStateMask) * kRowHeight + ((c->flags & kFlagOptionButton) ? 48 : 0);
  if (p.states) {
    HGDIOBJ old = SelectObject(p.memory, p.states);
    BitBlt(dc, r.left, r.top, kRowHeight, kRowHeight, p.memory, cell, 0, SRCCOPY);
    SelectObject(p.memory, old);
  }
  int textLeft = r.left + kStateImageWidth;
  if (p.pictures) {
    HGDIOBJ old = SelectObject(p.memory, p.pictures);
    BitBlt(dc, r.left + 18, r.top, kRowHeight, kRowHeight, p.memory, ((c->flags >> 12) & 15) * kRowHeight, 0, SRCCOPY);
    SelectObject(p.memory, old);
    textLeft = r.left + 36;
  }
  RECT area = {textLeft, r.top, r.right, r.bottom};
  bool selected = (item.itemState & ODS_SELECTED) != 0;
  FillRect(dc, &area, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  char text[256];
  LRESULT n = SendMessageA(item.hwndItem, LB_GETTEXTLEN, item.itemID, 0);
  if (n <= 0 || n >= static_cast<LRESULT>(sizeof text)) return;
  SendMessageA(item.hwndItem, LB_GETTEXT, item.itemID, reinterpret_cast<LPARAM>(text));
  std::string all = text;
  size_t percent = all.find('%');
  std::string name = all.substr(0, percent), size = percent == std::string::npos ? "0" : all.substr(percent + 1);
  size += " KB";
  TextOutA(dc, area.left + 2, area.top + p.textOffset, name.c_str(), static_cast<int>(name.size()));
  SIZE extent;
  GetTextExtentPoint32A(dc, size.c_str(), static_cast<int>(size.size()), &extent);
  TextOutA(dc, area.right - 4 - extent.cx, area.top + p.textOffset, size.c_str(), static_cast<int>(size.size()));
}

void enterPage(HWND d) {
  RunState& s = runState();
  auto* p = new ComponentPage;
  SetWindowLongPtrA(d, DWLP_USER, reinterpret_cast<LONG_PTR>(p));
  loadSelection(*p);
  InstallationTypeRecord type;
  readInstallationType(runProfile(), s.selectedType - 501, type);
  p->tree = new SelectionTree(type.nodes, p->components, s.selectionMask);
  p->levels.push_back({0, 0});
  char title[256];
  GetWindowTextA(d, title, sizeof title);
  p->baseTitle = title;
  p->states = static_cast<HBITMAP>(LoadImageA(s.resources, MAKEINTRESOURCEA(BMP_STATES), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS));
  p->pictures = static_cast<HBITMAP>(LoadImageA(s.resources, MAKEINTRESOURCEA(103), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS));
  HWND list = GetDlgItem(d, IDC_LIST);
  SetWindowLongA(list, GWL_STYLE, GetWindowLongA(list, GWL_STYLE) | LBS_WANTKEYBOARDINPUT);
  fillList(d, *p);
  refreshSizes(d, *p, WalkAction{});
  // A whole number of rows: a remainder up to 8 pixels is cut, more is filled up.
  RECT client, window;
  GetClientRect(list, &client);
  GetWindowRect(list, &window);
  int rest = client.bottom % kRowHeight;
  int change = rest <= 8 ? -rest : kRowHeight - rest;
  SetWindowPos(list, nullptr, 0, 0, window.right - window.left, window.bottom - window.top + change,
               SWP_NOMOVE | SWP_NOZORDER);
  SendMessageA(list, LB_SETCURSEL, 0, 0);
  onSelection(d, *p, false);
}

INT_PTR CALLBACK componentPageProc(HWND d, UINT m, WPARAM w, LPARAM l) {
  ComponentPage* p = pageOf(d);
  switch (m) {
    case WM_INITDIALOG:
      enterPage(d);
      break;
    case WM_MEASUREITEM:
      reinterpret_cast<MEASUREITEMSTRUCT*>(l)->itemHeight = kRowHeight;
      return TRUE;
    case WM_DRAWITEM:
      if (p && w == IDC_LIST) {
        drawItem(*p, *reinterpret_cast<const DRAWITEMSTRUCT*>(l));
        return TRUE;
      }
      break;
    case WM_VKEYTOITEM:
      if (p && LOWORD(w) == VK_SPACE) {
        onSelection(d, *p, true);
        SetWindowLongPtrA(d, DWLP_MSGRESULT, -2);
        return TRUE;
      }
      SetWindowLongPtrA(d, DWLP_MSGRESULT, -1);
      return TRUE;
    case WM_COMMAND: {
      if (!p) break;
      int id = LOWORD(w);
      if (id == IDC_LIST && HIWORD(w) == LBN_SELCHANGE) {
        HWND list = GetDlgItem(d, IDC_LIST);
        bool click = GetWindowLongPtrA(list, GWLP_USERDATA) == 1;
        POINT at;
        GetCursorPos(&at);
        ScreenToClient(list, &at);
        onSelection(d, *p, click && at.x <= kStateImageWidth);
        return TRUE;
      }
      if (id == IDC_DETAILS && p->levels.size() < kMaxLevels) {
        HWND list = GetDlgItem(d, IDC_LIST);
        LRESULT index = SendMessageA(list, LB_GETCURSEL, 0, 0);
        if (index < 0) return TRUE;
        size_t node = static_cast<size_t>(SendMessageA(list, LB_GETITEMDATA, index, 0));
        if (p->levels.size() == 1) p->tree->saveStates(node);
        p->levels.push_back({node, static_cast<int>(index)});
        changeLevel(d, *p, 0);
        return TRUE;
      }
      if (p->levels.size() > 1 && (id == IDC_LIST_OK || id == IDC_CANCEL || id == IDC_CANCEL_LIST)) {
        Level left = p->levels.back();
        p->levels.pop_back();
        if (id == IDC_LIST_OK) {
          p->tree->stateFromChildren(left.node);
        } else {
          p->tree->restoreStates(left.node);
          refreshSizes(d, *p, WalkAction{});
        }
        changeLevel(d, *p, left.selectedIndex);
        return TRUE;
      }
      if (id == IDC_NEXT || id == IDC_BACK) storeSelection(*p);
      break;
    }
    case WM_DESTROY:
      if (p) {
        storeSelection(*p);
        delete p;
        SetWindowLongPtrA(d, DWLP_USER, 0);
      }
      break;
  }
  return commonPageProc(d, m, w, l);
}

}  // namespace

DLGPROC componentPageProcedure() { return componentPageProc; }

}  // namespace tw
