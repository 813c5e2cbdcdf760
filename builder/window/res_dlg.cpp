// TResDlg: the dialog preview of the Dialoge page.
#include "builder/window/res_dlg.h"

#include <commctrl.h>
#include <shlobj.h>

#include <cstring>
#include <map>
#include <vector>

#include "builder/preview/preview_rules.h"
#include "builder/project/project_tree.h"
#include "common/shortcut_label.h"
#include "setup/main/window_classes.h"

namespace tw {
namespace {

constexpr int kNoCaptionDialog = 211;  // the advertisement dialog
constexpr int kCancelDialog = 100;
constexpr int kTimerId = 1;
constexpr int kRowHeight = 16;
constexpr int kSelectedBit = 1 << 24;

const char kSelfProperty[] = "TwResDlg";

// Selection of the custom-setup preview, per component node. It lives only
// in the preview: the project's component flags are not touched.
std::map<const TreeNode*, bool>& selection() {
  static std::map<const TreeNode*, bool> s;
  return s;
}

std::string itemText(HWND dialog, int id) {
  HWND c = GetDlgItem(dialog, id);
  int n = c ? GetWindowTextLengthA(c) : 0;
  std::string s(static_cast<size_t>(n) + 1, '\0');
  if (c) GetWindowTextA(c, &s[0], n + 1);
  s.resize(static_cast<size_t>(n));
  return s;
}

std::string readWholeFile(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (path.empty() || attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return {};
  HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return {};
  std::string text;
  DWORD size = GetFileSize(f, nullptr);
  if (size != INVALID_FILE_SIZE && size < (16u << 20)) {
    text.resize(size);
    DWORD got = 0;
    if (!ReadFile(f, &text[0], size, &got, nullptr)) got = 0;
    text.resize(got);
  }
  CloseHandle(f);
  size_t zero = text.find('\0');
  if (zero != std::string::npos) text.resize(zero);
  return text;
}

std::string userInfo(const char* name) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\MS Setup (ACME)\\User Info", 0, KEY_READ, &key))
    return {};
  char value[101] = "";
  DWORD size = 100, type = 0;
  bool ok = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) == ERROR_SUCCESS &&
            type == REG_SZ;
  RegCloseKey(key);
  value[100] = 0;
  return ok ? std::string(value) : std::string();
}

std::string languageString(HMODULE module, int id) {
  char buffer[1024];
  int n = LoadStringA(module, static_cast<UINT>(id), buffer, sizeof buffer);
  return std::string(buffer, n > 0 ? static_cast<size_t>(n) : 0);
}

RECT childRect(HWND dialog, HWND child) {
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// The component of a type-tree reference, and its record.
const KompRec* kompOf(const TreeNode* reference) {
  return reference && reference->component ? reference->component->komp.get() : nullptr;
}
bool isSelected(const TreeNode* reference) {
  auto it = selection().find(reference);
  return it != selection().end() && it->second;
}

struct Walk {
  uint32_t selected = 0, offered = 0;
  uint64_t bytes = 0;
};
// Sizes and counts of a reference and, through selected components only,
// its subtree; the offered and selected direct children are counted.
void walk(const TreeNode* node, bool start, Walk& w) {
  const KompRec* k = kompOf(node);
  if (!start && !isSelected(node)) return;
  if (k && isSelected(node)) w.bytes += static_cast<uint32_t>(k->size);
  for (const auto& child : node->children) {
    const KompRec* ck = kompOf(child.get());
    if (start && ck && !(ck->flags & kKompNotOptional)) {
      ++w.offered;
      if (isSelected(child.get())) ++w.selected;
    }
    walk(child.get(), false, w);
  }
}

INT_PTR CALLBACK cancelProc(HWND d, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_INITDIALOG) {
    auto* args = reinterpret_cast<std::pair<HWND, std::string>*>(lp);
    RECT owner, self;
    GetWindowRect(args->first, &owner);
    GetWindowRect(d, &self);
    int w = self.right - self.left, h = self.bottom - self.top;
    SetWindowPos(d, nullptr, (owner.left + owner.right - w) / 2, (owner.top + owner.bottom - h) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER);
    HWND text = GetDlgItem(d, 710);
    char buffer[513] = "";
    if (text) GetWindowTextA(text, buffer, sizeof buffer);
    std::string t = buffer;
    for (size_t at = t.find("%1"); at != std::string::npos; at = t.find("%1", at + args->second.size()))
      t.replace(at, 2, args->second);
    if (text) SetWindowTextA(text, t.c_str());
    return TRUE;
  }
  if (msg == WM_COMMAND) {
    int id = LOWORD(wp);
    if (id == 1 || id == 2 || id == 6 || id == 7) EndDialog(d, id);
    return TRUE;
  }
  return FALSE;
}

// The template with the style of a child: no popup, not visible, child,
// tab stop and control parent; its own frame and caption are left to the
// preview, which draws them.
std::vector<uint8_t> childTemplate(const uint8_t* data, size_t size) {
  std::vector<uint8_t> copy(data, data + size);
  size_t at = size >= 4 && data[2] == 0xFF && data[3] == 0xFF ? 12 : 0;  // DLGTEMPLATEEX: style after the help id
  if (copy.size() < at + 4) return {};
  DWORD style;
  std::memcpy(&style, &copy[at], 4);
  style &= ~(WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | DS_MODALFRAME);
  style |= WS_CHILD | WS_TABSTOP | DS_CONTROL;
  std::memcpy(&copy[at], &style, 4);
  return copy;
}

}  // namespace

TResDlg::TResDlg(HINSTANCE instance) : instance_(instance), module_(instance) {}

TResDlg::~TResDlg() {
  if (window_) DestroyWindow(window_);
  for (HBITMAP b : {picture_, states_, listPictures_})
    if (b) DeleteObject(b);
}

// The same "BEVEL" and "ZETU_LISTBOX" classes as Setup's pages use.
void TResDlg::registerClasses(HINSTANCE instance) {
  registerBevelClass(instance);
  registerComponentListClass(instance);
}

int TResDlg::captionHeight() const { return dialogId_ == kNoCaptionDialog ? 0 : GetSystemMetrics(SM_CYCAPTION); }

void TResDlg::SetDialog(int id) {
  dialogId_ = id;
  if (!window_) return;
  RECT r;
  GetWindowRect(window_, &r);
  POINT centre = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  ScreenToClient(parent_, &centre);
  showCentredOn(centre, false);
}

void TResDlg::SetModule(HMODULE module) {
  module_ = module;
  if (window_) {
    SetDialog(dialogId_);
  } else if (parent_) {
    ShowTemplate(parent_, placement_);
  }
}

void TResDlg::ShowTemplate(HWND parent, const RECT& placement) {
  parent_ = parent;
  placement_ = placement;
  POINT centre = {(placement.left + placement.right) / 2, (placement.top + placement.bottom) / 2};
  showCentredOn(centre, window_ == nullptr);
}

void TResDlg::showCentredOn(POINT centre, bool) {
  if (dialogId_ == 0 || !module_) {
    if (window_) DestroyWindow(window_);
    window_ = nullptr;
    return;
  }
  HRSRC found = FindResourceA(module_, MAKEINTRESOURCEA(dialogId_), MAKEINTRESOURCEA(5));
  HGLOBAL loaded = found ? LoadResource(module_, found) : nullptr;
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) return;
  if (timer_ && window_) KillTimer(window_, kTimerId);
  timer_ = 0;
  if (states_) DeleteObject(states_);
  states_ = static_cast<HBITMAP>(LoadImageA(module_, MAKEINTRESOURCEA(101), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS));
  if (listPictures_) DeleteObject(listPictures_);
  listPictures_ = nullptr;
  std::string listBitmap = OnGetString ? OnGetString(17) : std::string();
  if (!listBitmap.empty())
    listPictures_ = static_cast<HBITMAP>(
        LoadImageA(nullptr, listBitmap.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_LOADMAP3DCOLORS));
  rowsMoved_ = false;
  std::vector<uint8_t> copy = childTemplate(static_cast<const uint8_t*>(data), SizeofResource(module_, found));
  HWND previous = window_;
  window_ = nullptr;
  levels_.clear();
  HWND created = copy.empty() ? nullptr
                              : CreateDialogIndirectParamA(module_, reinterpret_cast<LPCDLGTEMPLATEA>(copy.data()),
                                                           parent_, dialogProc, reinterpret_cast<LPARAM>(this));
  if (!created) {
    window_ = previous;
    MessageBoxA(parent_, "Ung\xFCltiges Kindfenster", nullptr, MB_OK | MB_ICONSTOP);
    return;
  }
  window_ = created;
  // The frame and caption are drawn by the preview itself.
  dialogWndProc_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(created, GWLP_WNDPROC,
                                                               reinterpret_cast<LONG_PTR>(frameProc)));
  RECT client;
  GetWindowRect(created, &client);
  int frameX = GetSystemMetrics(SM_CXDLGFRAME), frameY = GetSystemMetrics(SM_CYDLGFRAME);
  int width = client.right - client.left + 2 * frameX;
  int height = client.bottom - client.top + 2 * frameY + captionHeight();
  HDWP batch = BeginDeferWindowPos(20);
  batch = DeferWindowPos(batch, created, HWND_TOP, centre.x - width / 2, centre.y - height / 2, width, height,
                         SWP_SHOWWINDOW | SWP_FRAMECHANGED | SWP_NOACTIVATE);
  if (previous) batch = DeferWindowPos(batch, previous, nullptr, 0, 0, 0, 0,
                                       SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EndDeferWindowPos(batch);
  if (previous) DestroyWindow(previous);
  UpdateDialog(-1);
  if (OnShow) OnShow();
}

void TResDlg::RefreshPending() {
  if (!refreshPending_ || !window_) return;
  refreshPending_ = false;
  SetDialog(dialogId_);
}

void TResDlg::Escape() {
  if (window_ && dialogId_ == 207 && levels_.size() > 1) browseLevel(-1);
}

void TResDlg::formatControlText(int id, const std::string& argument) {
  HWND c = GetDlgItem(window_, id);
  if (!c) return;
  std::string text = itemText(window_, id);
  DWORD_PTR args[] = {reinterpret_cast<DWORD_PTR>(argument.c_str())};
  char out[513] = "";
  if (FormatMessageA(FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ARGUMENT_ARRAY, text.c_str(), 0, 0, out,
                     sizeof out, reinterpret_cast<va_list*>(args)))
    SetWindowTextA(c, out);
}

void TResDlg::UpdateDialog(int index) {
  if (!window_ || !OnGetString || !OnGetPointer) return;
  bool all = index == -1;
  int id = dialogId_;
  if (all && (id == 201 || id == 202 || id == 203 || id == 205 || id == 213)) {
    std::string name = previewAppName(OnGetString(0));
    formatControlText(710, name);
    if (id == 213) formatControlText(522, name);
  }
  if (id == 200 && (all || index == 10)) {
    HBITMAP fresh = static_cast<HBITMAP>(
        LoadImageA(nullptr, OnGetString(10).c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_LOADMAP3DCOLORS));
    SendDlgItemMessageA(window_, 1200, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(fresh));
    if (picture_) DeleteObject(picture_);
    picture_ = fresh;
  }
  if ((id == 202 && (all || index == 11)) || (id == 203 && (all || index == 12)))
    SetDlgItemTextA(window_, 301, readWholeFile(OnGetString(id == 202 ? 11 : 12)).c_str());
  if (id == 204 && all) {
    SetDlgItemTextA(window_, 301, userInfo("DefName").c_str());
    SetDlgItemTextA(window_, 302, userInfo("DefCompany").c_str());
  }
  if ((id == 205 || id == 206) && (all || index == 6 || (id == 206 && index == 14))) {
    SetDlgItemTextA(window_, 715, OnGetString(6).c_str());
    if (id == 206) {
      if (IsWindowVisible(window_)) fillTypes();
      else refreshPending_ = true;
    }
  }
  if (id == 207 && (all || index == 16 || index == 6)) {
    if (IsWindowVisible(window_)) fillComponents();
    else refreshPending_ = true;
  }
  if (id == 208 && (all || index == 18 || index == 5)) {
    if (IsWindowVisible(window_)) fillFolder();
    else refreshPending_ = true;
  }
  if (id == 209 && all) {
    INT tab = 8;
    SendDlgItemMessageA(window_, 301, EM_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&tab));
    SetDlgItemTextA(window_, 301,
                    previewSummaryText(languageString(module_, 512), languageString(module_, 514),
                                       languageString(module_, 515), languageString(module_, 516))
                        .c_str());
  }
  if (id == 210 && all) {
    SendDlgItemMessageA(window_, 1500, PBM_SETRANGE, 0, MAKELPARAM(0, kProgressRange));
    SendDlgItemMessageA(window_, 1500, PBM_SETSTEP, kProgressRange / kProgressTicks, 0);
    ticks_ = 0;
    timer_ = SetTimer(window_, kTimerId, kProgressTickMs, nullptr);
  }
}

// The installation types in the option rows; with fewer than four the
// rows are spread over the space of four and the others hidden.
void TResDlg::fillTypes() {
  const auto* types = static_cast<const Tree*>(OnGetPointer(14));
  const auto* descriptions = static_cast<const uint8_t*>(OnGetPointer(15));
  int defaultType = static_cast<int>(reinterpret_cast<intptr_t>(OnGetPointer(19)));
  if (!types) return;
  static const char* const kNames[4] = {"Normal", "Minimal", "Benutzer", "Netzwerk"};
  // The template's positions and labels, read before anything moves.
  RECT button[4], text[4];
  std::string label[4];
  for (int t = 0; t < 4; ++t) {
    button[t] = childRect(window_, GetDlgItem(window_, 501 + t));
    text[t] = childRect(window_, GetDlgItem(window_, 701 + t));
    label[t] = itemText(window_, 501 + t);
  }
  int present[4], count = 0;
  for (const auto& root : types->roots)
    if (root->value >= 0 && root->value < 4 && count < 4) present[count++] = root->value;
  std::string taken;
  for (HWND c = GetWindow(window_, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    int cid = GetDlgCtrlID(c);
    if (cid < 501 || cid > 504) {
      char t[128];
      GetWindowTextA(c, t, sizeof t);
      if (unsigned char letter = shortcutLetter(t)) taken += static_cast<char>(letter);
    }
  }
  std::vector<int> tops = previewTypeRowTops(count, button[0].top, button[3].top);
  // As in Setup: each type keeps its own button and text, moved to its row.
  for (int t = 0; t < 4; ++t) {
    ShowWindow(GetDlgItem(window_, 501 + t), SW_HIDE);
    ShowWindow(GetDlgItem(window_, 701 + t), SW_HIDE);
  }
  for (int row = 0; row < count; ++row) {
    int t = present[row];
    HWND b = GetDlgItem(window_, 501 + t), d = GetDlgItem(window_, 701 + t);
    int offset = tops[static_cast<size_t>(row)] - button[0].top;
    SetWindowPos(b, nullptr, button[0].left, button[0].top + offset, button[t].right - button[t].left,
                 button[t].bottom - button[t].top, SWP_NOZORDER);
    SetWindowPos(d, nullptr, text[0].left, text[0].top + offset, text[t].right - text[t].left,
                 text[t].bottom - text[t].top, SWP_NOZORDER);
    std::string shown = labelWithShortcut(kNames[t], label[t], taken);
    if (unsigned char letter = shortcutLetter(shown)) taken += static_cast<char>(letter);
    SetWindowTextA(b, shown.c_str());
    std::string description;
    if (descriptions) {
      const char* p = reinterpret_cast<const char*>(descriptions + t * 256);
      description.assign(p, strnlen(p, 255));
    }
    SetWindowTextA(d, description.c_str());
    SendMessageA(b, BM_SETCHECK, t == defaultType ? BST_CHECKED : BST_UNCHECKED, 0);
    ShowWindow(b, SW_SHOW);
    ShowWindow(d, SW_SHOW);
  }
}

// The program folder dialog: the start-menu folder or the first checked
// shortcut, and the folders of the user's Programs menu.
void TResDlg::fillFolder() {
  // As Setup decides: without a shortcut the shortcut options are dropped;
  // shortcuts without a start-menu folder go straight into the menu, and
  // the field names the first of them.
  std::string folder = OnGetString(5), shortcut = OnGetString(18);
  bool optionsDropped = shortcut.empty() || folder.empty();
  bool oneShortcut = folder.empty() && !shortcut.empty();
  SetDlgItemTextA(window_, 301, oneShortcut ? shortcut.c_str() : folder.c_str());
  ShowWindow(GetDlgItem(window_, 30), oneShortcut ? SW_HIDE : SW_SHOW);
  ShowWindow(GetDlgItem(window_, 31), oneShortcut ? SW_SHOW : SW_HIDE);
  EnableWindow(GetDlgItem(window_, 401), !oneShortcut);
  SendDlgItemMessageA(window_, 301, EM_SETREADONLY, oneShortcut, 0);
  // Setup offers the desktop shortcut ticked.
  if (!optionsDropped) CheckDlgButton(window_, 303, BST_CHECKED);
  if (optionsDropped && !rowsMoved_) {
    rowsMoved_ = true;
    HWND second = GetDlgItem(window_, 302), label = GetDlgItem(window_, 400), list = GetDlgItem(window_, 401);
    RECT s = childRect(window_, second), l = childRect(window_, label), b = childRect(window_, list);
    int up = l.top - s.top;
    ShowWindow(second, SW_HIDE);
    ShowWindow(GetDlgItem(window_, 303), SW_HIDE);
    SetWindowPos(label, nullptr, l.left, l.top - up, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SetWindowPos(list, nullptr, b.left, b.top - up, b.right - b.left, b.bottom - b.top + up, SWP_NOZORDER);
  }
  HWND list = GetDlgItem(window_, 401);
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  HKEY key;
  char programs[MAX_PATH] = "";
  if (!RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", 0,
                     KEY_READ, &key)) {
    DWORD size = sizeof programs - 1, type = 0;
    if (RegQueryValueExA(key, "Programs", nullptr, &type, reinterpret_cast<BYTE*>(programs), &size) ||
        type != REG_SZ)
      programs[0] = 0;
    RegCloseKey(key);
  }
  if (!programs[0]) return;
  WIN32_FIND_DATAA found;
  HANDLE h = FindFirstFileA((std::string(programs) + "\\*").c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && found.cFileName[0] != '.')
      SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(found.cFileName));
  } while (FindNextFileA(h, &found));
  FindClose(h);
}

// The custom-setup dialog: the references of the "Benutzer" type one level
// at a time, the needed and the free space.
void TResDlg::fillComponents() {
  const auto* types = static_cast<const Tree*>(OnGetPointer(16));
  if (!types || types->roots.empty()) return;
  const TreeNode* custom = types->roots.front().get();
  for (const auto& root : types->roots)
    if (root->value == 2) custom = root.get();
  if (levels_.empty()) {
    selection().clear();
    std::vector<const TreeNode*> todo = {custom};
    while (!todo.empty()) {
      const TreeNode* n = todo.back();
      todo.pop_back();
      if (const KompRec* k = kompOf(n)) selection()[n] = !(k->flags & kKompStateBit5);
      for (const auto& c : n->children) todo.push_back(c.get());
    }
    levels_.push_back({custom, 0});
  }
  const auto* level = static_cast<const TreeNode*>(levels_.back().first);
  HWND list = GetDlgItem(window_, 401);
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  SendMessageA(list, LB_SETITEMHEIGHT, 0, kRowHeight);
  rows_.clear();
  Walk all;
  for (const auto& c : level->children) {
    if (isSelected(c.get())) {
      Walk w;
      walk(c.get(), true, w);
      all.bytes += w.bytes;
    }
    // Components that are not offered are installed without a row, as in Setup.
    const KompRec* k = kompOf(c.get());
    if (k && (k->flags & kKompNotOptional)) continue;
    rows_.push_back(c.get());
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(c->text.c_str()));
  }
  char root[4] = "C:\\";
  char self[MAX_PATH];
  if (GetModuleFileNameA(nullptr, self, MAX_PATH) && self[1] == ':') root[0] = self[0];
  ULARGE_INTEGER freeBytes = {}, total = {}, totalFree = {};
  GetDiskFreeSpaceExA(root, &freeBytes, &total, &totalFree);
  SetDlgItemTextA(window_, 717, previewMegabytesText(freeBytes.QuadPart, false).c_str());
  SetDlgItemTextA(window_, 716, previewMegabytesText(all.bytes, true).c_str());
  int at = levels_.back().second;
  SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(at < static_cast<int>(rows_.size()) ? at : 0), 0);
  componentSelected();
}

void TResDlg::componentSelected() {
  HWND list = GetDlgItem(window_, 401);
  int i = static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0));
  const auto* node = i >= 0 && i < static_cast<int>(rows_.size()) ? static_cast<const TreeNode*>(rows_[i]) : nullptr;
  const KompRec* k = kompOf(node);
  SetDlgItemTextA(window_, 712, k ? k->description.c_str() : "");
  std::string count;
  if (node) {
    Walk w;
    walk(node, true, w);
    if (w.offered) {
      char text[256];
      wsprintfA(text, languageString(module_, 518).c_str(), w.selected, w.offered);
      count = text;
    }
  }
  SetDlgItemTextA(window_, 720, count.c_str());
  EnableWindow(GetDlgItem(window_, 20), !count.empty());
  if (!levels_.empty() && i >= 0) levels_.back().second = i;
}

void TResDlg::browseLevel(int change) {
  HWND list = GetDlgItem(window_, 401);
  int i = static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0));
  std::string caption = itemText(window_, 0);
  char title[256];
  GetWindowTextA(window_, title, sizeof title);
  if (change > 0) {
    if (i < 0 || i >= static_cast<int>(rows_.size()) || !IsWindowEnabled(GetDlgItem(window_, 20))) return;
    const auto* node = static_cast<const TreeNode*>(rows_[i]);
    levels_.push_back({node, 0});
    SetWindowTextA(window_, previewBrowseCaption(title, node->text).c_str());
  } else {
    if (levels_.size() < 2) return;
    levels_.pop_back();
    const auto* up = static_cast<const TreeNode*>(levels_.back().first);
    SetWindowTextA(window_, previewBrowseCaption(title, levels_.size() > 1 ? up->text : std::string()).c_str());
  }
  bool inside = levels_.size() > 1;
  ShowWindow(GetDlgItem(window_, 12), inside ? SW_HIDE : SW_SHOW);
  ShowWindow(GetDlgItem(window_, 1), inside ? SW_HIDE : SW_SHOW);
  ShowWindow(GetDlgItem(window_, 13), inside ? SW_SHOW : SW_HIDE);
  SendMessageA(window_, DM_SETDEFID, inside ? 13 : 1, 0);
  fillComponents();
  SetWindowPos(window_, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
}

void TResDlg::drawComponentRow(const DRAWITEMSTRUCT& di) {
  if (di.itemID == static_cast<UINT>(-1) || di.itemID >= rows_.size()) return;
  const auto* node = static_cast<const TreeNode*>(rows_[di.itemID]);
  const KompRec* k = kompOf(node);
  HDC dc = di.hDC;
  RECT r = di.rcItem;
  bool chosen = (di.itemState & ODS_SELECTED) != 0;
  FillRect(dc, &r, GetSysColorBrush(COLOR_WINDOW));
  HDC memory = CreateCompatibleDC(dc);
  int x = r.left;
  if (states_) {
    // As Setup draws it: cell 1 selected, 0 not; the option-button set
    // follows the four check-box cells.
    int cell = (isSelected(node) ? 1 : 0) + (k && (k->flags & kKompStateBit3) ? 3 : 0);
    HGDIOBJ old = SelectObject(memory, states_);
    BitBlt(dc, x, r.top, kRowHeight, kRowHeight, memory, cell * kRowHeight, 0, SRCCOPY);
    SelectObject(memory, old);
    x += 18;
  }
  if (listPictures_ && k) {
    HGDIOBJ old = SelectObject(memory, listPictures_);
    BitBlt(dc, x, r.top, kRowHeight, kRowHeight, memory, ((k->flags >> 8) & 0xFF) * kRowHeight, 0, SRCCOPY);
    SelectObject(memory, old);
    x += 18;
  }
  DeleteDC(memory);
  RECT area = {x, r.top, r.right, r.bottom};
  FillRect(dc, &area, GetSysColorBrush(chosen ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(chosen ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  RECT text = {x + 2, r.top, r.right - 4, r.bottom};
  DrawTextA(dc, node->text.c_str(), -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  Walk w;
  walk(node, true, w);
  std::string size = previewKilobytesText(isSelected(node) ? w.bytes : 0);
  DrawTextA(dc, size.c_str(), -1, &text, DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void TResDlg::showCancelDialog() {
  std::pair<HWND, std::string> args(window_, previewAppName(OnGetString ? OnGetString(0) : std::string()));
  DialogBoxParamA(module_, MAKEINTRESOURCEA(kCancelDialog), window_, cancelProc, reinterpret_cast<LPARAM>(&args));
}

INT_PTR TResDlg::handle(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_INITDIALOG: return FALSE;
    case WM_CTLCOLORSTATIC:
      if ((dialogId_ == 202 || dialogId_ == 203 || dialogId_ == 209) &&
          GetDlgCtrlID(reinterpret_cast<HWND>(lp)) == 301) {
        SetBkColor(reinterpret_cast<HDC>(wp), GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_WINDOW));
      }
      return FALSE;
    case WM_TIMER:
      if (wp != kTimerId) return FALSE;
      SendDlgItemMessageA(window_, 1500, PBM_STEPIT, 0, 0);
      if (++ticks_ >= kProgressTicks) {
        KillTimer(window_, kTimerId);
        timer_ = 0;
        if (OnNextDlg) OnNextDlg(+1);
      }
      return TRUE;
    case WM_MEASUREITEM: {
      auto* mi = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
      mi->itemHeight = kRowHeight;
      return TRUE;
    }
    case WM_DRAWITEM: {
      const auto* di = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
      if (dialogId_ == 207 && di->CtlID == 401) drawComponentRow(*di);
      return TRUE;
    }
    case WM_COMMAND: {
      int id = LOWORD(wp), code = HIWORD(wp);
      if (dialogId_ == 207) {
        if (id == 401 && code == LBN_SELCHANGE) {
          componentSelected();
          return TRUE;
        }
        if (id == 20) {
          browseLevel(+1);
          return TRUE;
        }
        if (id == 13 || ((id == 3 || id == 2) && levels_.size() > 1)) {
          browseLevel(-1);
          return TRUE;
        }
      }
      if (id == 1 || id == 12) {
        if (OnNextDlg) OnNextDlg(id == 1 ? +1 : -1);
        return TRUE;
      }
      if (id == 2 || id == 3) {
        showCancelDialog();
        return TRUE;
      }
      if (id == 196) {
        BROWSEINFOA info = {};
        char chosen[MAX_PATH];
        info.hwndOwner = window_;
        info.pszDisplayName = chosen;
        info.lpszTitle = "W\xE4hlen Sie einen Ordner aus der Liste aus";
        info.ulFlags = BIF_RETURNONLYFSDIRS;
        if (LPITEMIDLIST item = SHBrowseForFolderA(&info)) CoTaskMemFree(item);
        return TRUE;
      }
      return FALSE;
    }
    case WM_DESTROY:
      if (timer_) KillTimer(window_, kTimerId);
      timer_ = 0;
      if (OnClose) OnClose();
      return FALSE;
  }
  return FALSE;
}

INT_PTR CALLBACK TResDlg::dialogProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_INITDIALOG) SetPropA(h, kSelfProperty, reinterpret_cast<HANDLE>(lp));
  auto* self = static_cast<TResDlg*>(GetPropA(h, kSelfProperty));
  if (!self) return FALSE;
  if (msg == WM_NCDESTROY) RemovePropA(h, kSelfProperty);
  // Messages of a window being replaced concern it alone.
  if (self->window_ != h && msg != WM_INITDIALOG) return FALSE;
  return self->handle(msg, wp, lp);
}

LRESULT CALLBACK TResDlg::frameProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = static_cast<TResDlg*>(GetPropA(h, kSelfProperty));
  if (!self) return DefWindowProcA(h, msg, wp, lp);
  WNDPROC original = self->dialogWndProc_;
  int caption = self->window_ == h ? self->captionHeight() : 0;
  int fx = GetSystemMetrics(SM_CXDLGFRAME), fy = GetSystemMetrics(SM_CYDLGFRAME);
  switch (msg) {
    case WM_NCCALCSIZE: {
      auto* r = reinterpret_cast<RECT*>(lp);  // the first rectangle in either form
      r->left += fx;
      r->right -= fx;
      r->top += fy + caption;
      r->bottom -= fy;
      return 0;
    }
    case WM_NCHITTEST: return HTCLIENT;
    case WM_NCACTIVATE: return TRUE;
    case WM_SETTEXT: {
      LRESULT result = CallWindowProcA(original, h, msg, wp, lp);
      RedrawWindow(h, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
      return result;
    }
    case WM_NCPAINT: {
      HDC dc = GetWindowDC(h);
      RECT w;
      GetWindowRect(h, &w);
      OffsetRect(&w, -w.left, -w.top);
      RECT edge = w;
      DrawEdge(dc, &edge, EDGE_RAISED, BF_RECT | BF_ADJUST);
      RECT inner = edge;
      for (int k = 2; k < fx; ++k) {
        FrameRect(dc, &inner, GetSysColorBrush(COLOR_BTNFACE));
        InflateRect(&inner, -1, -1);
      }
      if (caption > 0) {
        RECT bar = {fx, fy, w.right - fx, fy + caption};
        RECT fill = bar;
        fill.bottom -= 1;
        DrawCaption(h, dc, &fill, DC_ACTIVE | DC_TEXT | DC_GRADIENT);
        RECT line = {bar.left, bar.bottom - 1, bar.right, bar.bottom};
        FillRect(dc, &line, GetSysColorBrush(COLOR_BTNFACE));
        int size = caption - 5;
        RECT close = {bar.right - size - 2, bar.top + 2, bar.right - 2, bar.top + 2 + size};
        DrawFrameControl(dc, &close, DFC_CAPTION, DFCS_CAPTIONCLOSE);
      }
      ReleaseDC(h, dc);
      return 0;
    }
  }
  return CallWindowProcA(original, h, msg, wp, lp);
}

}  // namespace tw
