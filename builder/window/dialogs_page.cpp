// The builder's Dialoge page.
#include "builder/window/dialogs_page.h"

#include <commctrl.h>

#include "builder/appearance/background_rules.h"
#include "builder/package/build_checks.h"
#include "builder/preview/preview_rules.h"
#include "builder/win32_file_system.h"
#include "builder/window/dialogs_page_ids.h"

namespace tw {
namespace {

const char kSheetClass[] = "TDialogsSheet";
const char kPanelClass[] = "TPanel";
const char kSelfProperty[] = "TwDialogsPage";
constexpr int kEntries = kDialogSequenceEntries - 1;  // number 0 is reserved
constexpr int kFirstDialog = 199;

enum PanelIndex { kDummy, kWelBmp, kLizenz, kReadMe, kUser, kUserLB, kAdvert, kForceReboot, kPanelCount };

// The settings panel of entry number n.
int panelOfEntry(int n) {
  switch (n) {
    case 1: return kWelBmp;
    case 3: return kLizenz;
    case 4: return kReadMe;
    case 5: return kUser;
    case 8: return kUserLB;
    case 12: return kAdvert;
    case 13: return kForceReboot;
    default: return kDummy;
  }
}

struct Control {
  int panel;  // -1: on the page itself
  int id;
  const char* cls;
  const char* text;
  DWORD style;
  int x, y, w, h;
};

const DWORD kLabel = SS_LEFT;
const DWORD kEditStyle = WS_TABSTOP | ES_AUTOHSCROLL | WS_BORDER;
const DWORD kButton = WS_TABSTOP | BS_PUSHBUTTON;

// Page controls in the page's design pixels, panel controls in the panel's.
const Control kControls[] = {
    {-1, IDC_CheckListBox1, "LISTBOX", "",
     WS_TABSTOP | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT |
         LBS_WANTKEYBOARDINPUT,
     6, 6, 184, 232},
    {-1, IDC_LabelLanguage, "STATIC", "Sprachmodul", kLabel, 6, 316, 184, 16},
    {-1, IDC_ComboLanguage, "COMBOBOX", "", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 6, 334, 184, 200},
    {-1, IDC_LabelCustomDll, "STATIC", "Custom-Dll", kLabel, 6, 366, 184, 16},
    {-1, IDC_EditCustomDll, "EDIT", "", kEditStyle, 6, 384, 184, 22},

    {kWelBmp, 0, "STATIC", "Dateiname des Bitmaps (max. 256 Farben)", kLabel, 0, 0, 184, 30},
    {kWelBmp, IDC_EditWelBmp, "EDIT", "", kEditStyle, 0, 34, 154, 22},
    {kWelBmp, IDC_BtnWelBmp, "BUTTON", "...", kButton, 159, 33, 24, 25},
    {kLizenz, 0, "STATIC", "Dateiname der Lizenz-Textdatei.", kLabel, 0, 0, 184, 30},
    {kLizenz, IDC_EditLizenz, "EDIT", "", kEditStyle, 0, 34, 154, 22},
    {kLizenz, IDC_BtnLizenz, "BUTTON", "...", kButton, 159, 33, 24, 25},
    {kReadMe, 0, "STATIC", "Dateiname der Info-Textdatei.", kLabel, 0, 0, 184, 30},
    {kReadMe, IDC_EditInfoTxt, "EDIT", "", kEditStyle, 0, 34, 154, 22},
    {kReadMe, IDC_BtnInfoTxt, "BUTTON", "...", kButton, 159, 33, 24, 25},
    {kUser, 0, "STATIC", "Bestandteile der Benutzerinformation.", kLabel, 0, 0, 184, 30},
    {kUser, IDC_CheckName, "BUTTON", "Name und Firma", BS_AUTOCHECKBOX | WS_DISABLED, 0, 34, 184, 20},
    {kUserLB, 0, "STATIC", "Dateiname des Listbox-Bitmaps", kLabel, 0, 0, 184, 30},
    {kUserLB, IDC_EditUserLB, "EDIT", "", kEditStyle, 0, 34, 154, 22},
    {kUserLB, IDC_BtnUserLB, "BUTTON", "...", kButton, 159, 33, 24, 25},
    {kAdvert, 0, "STATIC", "Erstes iteratives Bitmap (z.B. Bild01.bmp)", kLabel, 0, 0, 184, 30},
    {kAdvert, IDC_EditAdvert, "EDIT", "", kEditStyle, 0, 34, 154, 22},
    {kAdvert, IDC_BtnAdvert, "BUTTON", "...", kButton, 159, 33, 24, 25},
    {kForceReboot, 0, "STATIC", "Dialogfeld anzeigen:", kLabel, 0, 0, 184, 16},
    {kForceReboot, IDC_RadioForceReboot, "BUTTON", "Immer", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 0, 20, 150,
     20},
    {kForceReboot, IDC_RadioAutoReboot, "BUTTON", "Wenn notwendig", BS_AUTORADIOBUTTON, 0, 42, 150, 20},
};

const int kPanelIds[kPanelCount] = {IDC_PanelDummy, IDC_PanelWelBmp, IDC_PanelLizenz,   IDC_PanelReadMe,
                                    IDC_PanelUser,  IDC_PanelUserLB, IDC_PanelAdvert, IDC_PanelForceReboot};

std::string windowText(HWND h) {
  int n = GetWindowTextLengthA(h);
  std::string s(static_cast<size_t>(n) + 1, '\0');
  GetWindowTextA(h, &s[0], n + 1);
  s.resize(static_cast<size_t>(n));
  return s;
}

// The panels hand their controls' notifications to the page.
LRESULT CALLBACK panelProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_COMMAND || msg == WM_CTLCOLORSTATIC || msg == WM_CTLCOLORBTN)
    return SendMessageA(GetParent(h), msg, wp, lp);
  return DefWindowProcA(h, msg, wp, lp);
}

}  // namespace

DialogsPage::DialogsPage(HINSTANCE instance, DialogsPageHost host)
    : instance_(instance), host_(std::move(host)), preview_(instance) {
  preview_.OnGetString = [this](int index) { return previewString(index); };
  preview_.OnGetPointer = [this](int index) { return previewPointer(index); };
  preview_.OnNextDlg = [this](int direction) { nextDialog(direction); };
}

DialogsPage::~DialogsPage() = default;

void DialogsPage::registerClasses(HINSTANCE instance) {
  TResDlg::registerClasses(instance);
  WNDCLASSA wc = {};
  wc.lpfnWndProc = pageProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kSheetClass;
  RegisterClassA(&wc);
  wc.lpfnWndProc = panelProc;
  wc.lpszClassName = kPanelClass;
  RegisterClassA(&wc);
}

HWND DialogsPage::create(HWND parent, const RECT& area) {
  page_ = CreateWindowExA(WS_EX_CONTROLPARENT, kSheetClass, "", WS_CHILD | WS_CLIPSIBLINGS, area.left, area.top,
                          area.right - area.left, area.bottom - area.top, parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_PageDialoge)), instance_, nullptr);
  if (!page_) return nullptr;
  SetPropA(page_, kSelfProperty, this);
  createControls();
  return page_;
}

void DialogsPage::createControls() {
  for (int p = 0; p < kPanelCount; ++p) {
    RECT r = host_.scaled(6, 244, 184, 66);
    panels_[p] = CreateWindowExA(WS_EX_CONTROLPARENT, kPanelClass, "", WS_CHILD, r.left, r.top, r.right - r.left,
                                 r.bottom - r.top, page_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kPanelIds[p])),
                                 instance_, nullptr);
  }
  for (const Control& c : kControls) {
    RECT r = host_.scaled(c.x, c.y, c.w, c.h);
    HWND parent = c.panel < 0 ? page_ : panels_[c.panel];
    DWORD exStyle = (c.style & WS_BORDER) && lstrcmpA(c.cls, "EDIT") == 0 ? WS_EX_CLIENTEDGE : 0;
    DWORD style = (c.style & ~(exStyle ? WS_BORDER : 0)) | WS_CHILD | WS_VISIBLE;
    HWND h = CreateWindowExA(exStyle, c.cls, c.text, style, r.left, r.top, r.right - r.left, r.bottom - r.top, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id ? c.id : 0xFFFF)), instance_, nullptr);
    SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(host_.font), FALSE);
  }
  previewArea_ = host_.scaled(194, 2, 484, 424);
  HWND list = item(IDC_CheckListBox1);
  SetPropA(list, kSelfProperty, this);
  listWndProc_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(listProc)));
  RECT row = host_.scaled(0, 0, 16, 16);
  SendMessageA(list, LB_SETITEMHEIGHT, 0, row.bottom - row.top);
  for (int n = 1; n <= kEntries; ++n)
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kDialogSequenceNames[n]));
  ShowWindow(panels_[kDummy], SW_SHOW);
}

HWND DialogsPage::item(int id) const {
  if (HWND h = GetDlgItem(page_, id)) return h;
  for (HWND panel : panels_)
    if (HWND h = panel ? GetDlgItem(panel, id) : nullptr) return h;
  return nullptr;
}

void DialogsPage::show(bool visible) {
  if (!page_) return;
  // Above the tab control, whose body it covers.
  SetWindowPos(page_, HWND_TOP, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | (visible ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
  // Shown again: the preview shows the project as it is now (names and
  // folders may have changed on the other pages), and a refresh asked for
  // while it was hidden is done with it.
  if (visible && preview_.window()) preview_.SetDialog(preview_.DialogId());
}

void DialogsPage::showProject() {
  ProjectDocument& doc = host_.doc;
  doc.UpdateGuard = true;
  struct {
    int id;
    const std::string* text;
  } edits[] = {{IDC_EditWelBmp, &doc.EditWelBmp}, {IDC_EditLizenz, &doc.EditLizenz},
               {IDC_EditInfoTxt, &doc.EditInfoTxt}, {IDC_EditUserLB, &doc.EditUserLB},
               {IDC_EditAdvert, &doc.EditAdvert}, {IDC_EditCustomDll, &doc.EditCustomDll}};
  for (const auto& e : edits) SetWindowTextA(item(e.id), e.text->c_str());
  SendMessageA(item(IDC_CheckName), BM_SETCHECK, doc.CheckName ? BST_CHECKED : BST_UNCHECKED, 0);
  SendMessageA(item(IDC_RadioForceReboot), BM_SETCHECK, doc.RadioForceReboot ? BST_CHECKED : BST_UNCHECKED, 0);
  SendMessageA(item(IDC_RadioAutoReboot), BM_SETCHECK, doc.RadioForceReboot ? BST_UNCHECKED : BST_CHECKED, 0);
  InvalidateRect(item(IDC_CheckListBox1), nullptr, TRUE);
  // The modules found at the start, and the one the window loaded for the
  // project.
  HWND combo = item(IDC_ComboLanguage);
  SendMessageA(combo, CB_RESETCONTENT, 0, 0);
  for (const LanguageEntry& m : host_.modules)
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(m.name.c_str()));
  languageIndex_ = -1;
  if (host_.language.loaded())
    for (size_t i = 0; i < host_.modules.size(); ++i)
      if (lstrcmpiA(host_.modules[i].name.c_str(), doc.ComboLanguage.c_str()) == 0 && languageIndex_ < 0)
        languageIndex_ = static_cast<int>(i);
  if (host_.language.loaded() && languageIndex_ < 0 && !host_.modules.empty()) languageIndex_ = 0;
  SendMessageA(item(IDC_ComboLanguage), CB_SETCURSEL, static_cast<WPARAM>(languageIndex_), 0);
  doc.UpdateGuard = false;
  preview_.SetModule(host_.language.loaded() ? host_.language.handle() : nullptr);
  if (!preview_.window() && selected_ >= 0) preview_.ShowTemplate(page_, previewArea_);
}

void DialogsPage::entrySelected() {
  int index = static_cast<int>(SendMessageA(item(IDC_CheckListBox1), LB_GETCURSEL, 0, 0));
  if (index < 0 || index == selected_) return;
  int panel = panelOfEntry(index + 1);
  for (int p = 0; p < kPanelCount; ++p)
    if (p != panel) ShowWindow(panels_[p], SW_HIDE);
  ShowWindow(panels_[panel], SW_SHOW);
  selected_ = index;
  preview_.SetDialog(kFirstDialog + index + 1);
  if (!preview_.window()) preview_.ShowTemplate(page_, previewArea_);
}

void DialogsPage::toggleEntry(int index) {
  if (index < 0 || index >= kEntries) return;
  bool& tick = host_.doc.CheckListBox1[static_cast<size_t>(index + 1)];
  tick = !tick;
  host_.doc.Modified = true;  // the ticks are part of the project file
  RECT r;
  SendMessageA(item(IDC_CheckListBox1), LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
  InvalidateRect(item(IDC_CheckListBox1), &r, TRUE);
}

void DialogsPage::nextDialog(int direction) {
  HWND list = item(IDC_CheckListBox1);
  int current = static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0));
  std::vector<bool> checked;
  for (int i = 0; i < kEntries; ++i) checked.push_back(host_.doc.CheckListBox1[static_cast<size_t>(i + 1)]);
  int next = nextDialogEntry(checked, current, direction);
  if (next < 0) return;
  SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(next), 0);
  entrySelected();
}

void DialogsPage::languageChosen() {
  int index = static_cast<int>(SendMessageA(item(IDC_ComboLanguage), CB_GETCURSEL, 0, 0));
  if (index < 0 || index == languageIndex_ || index >= static_cast<int>(host_.modules.size())) return;
  const LanguageEntry& entry = host_.modules[static_cast<size_t>(index)];
  bool ok = host_.language.load(host_.builderFolder + "language\\" + entry.file);
  if (!ok) {
    MessageBoxA(page_, "Ung\xFCltiger Sprachmoduleintrag!", nullptr, MB_OK | MB_ICONSTOP);
    SendMessageA(item(IDC_ComboLanguage), CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
  } else if (host_.doc.ComboLanguage != entry.name) {
    host_.doc.ComboLanguage = entry.name;
    host_.doc.Modified = true;
  }
  languageIndex_ = index;
  preview_.SetModule(ok ? host_.language.handle() : nullptr);
  if (ok && !preview_.window() && selected_ >= 0) preview_.ShowTemplate(page_, previewArea_);
}

std::string DialogsPage::projectFile(const std::string& name) const {
  return name.empty() ? name : resolveAgainstProject(host_.doc.ProjectPath, name);
}

std::string DialogsPage::previewString(int index) {
  const ProjectDocument& doc = host_.doc;
  switch (index) {
    case 0: return doc.EditApp;
    case 1: return doc.versionText();
    case 2: return doc.EditCompany;
    case 3: return doc.EditReadMe;
    case 4: return doc.EditExe;
    case 5: return doc.EditFolder;
    case 6: return doc.EditTargetDir;
    case 10: return projectFile(doc.EditWelBmp);
    case 11: return projectFile(doc.EditLizenz);
    case 12: return projectFile(doc.EditInfoTxt);
    case 17: return projectFile(doc.EditUserLB);
    case 18:
      for (const ShortcutEntry& e : doc.CheckListBox2)
        if (e.checked) return e.caption;
      return {};
    default: return {};
  }
}

const void* DialogsPage::previewPointer(int index) {
  ProjectDocument& doc = host_.doc;
  switch (index) {
    case 14: return &doc.TVITypes;
    case 15: return doc.TypeDescriptions.data();
    case 16: {
      Win32FileSystem files;
      UpdateNodeSize(doc, files, false);
      return &doc.TVITypes;
    }
    case 19: return reinterpret_cast<const void*>(static_cast<intptr_t>(doc.DefaultType));
    default: return nullptr;
  }
}

void DialogsPage::fileButton(int buttonId) {
  int editId = buttonId - 1;
  bool bitmap = buttonId != IDC_BtnLizenz && buttonId != IDC_BtnInfoTxt;
  std::string chosen;
  if (!host_.chooseFile || !host_.chooseFile(bitmap, windowText(item(editId)), chosen)) return;
  SetWindowTextA(item(editId), chosen.c_str());  // the change handler updates the document
  host_.doc.Modified = true;
  changedEdit_ = true;
  editLeft(editId);
}

void DialogsPage::editLeft(int id) {
  if (!changedEdit_ || host_.doc.UpdateGuard) return;
  changedEdit_ = false;
  if (id == IDC_EditWelBmp) preview_.UpdateDialog(10);
  else if (id == IDC_EditLizenz) preview_.UpdateDialog(11);
  else if (id == IDC_EditInfoTxt) preview_.UpdateDialog(12);
}

bool DialogsPage::enterPressed(HWND focus) {
  int id = focus && IsChild(page_, focus) ? GetDlgCtrlID(focus) : 0;
  if (id != IDC_EditWelBmp && id != IDC_EditLizenz && id != IDC_EditInfoTxt && id != IDC_EditAdvert &&
      id != IDC_EditUserLB)
    return false;
  SendMessageA(focus, EM_SETSEL, 0, -1);
  changedEdit_ = true;
  editLeft(id);
  return true;
}

void DialogsPage::drawEntry(const DRAWITEMSTRUCT& di) {
  if (di.itemID == static_cast<UINT>(-1)) return;
  HDC dc = di.hDC;
  RECT r = di.rcItem;
  int size = r.bottom - r.top;
  FillRect(dc, &r, GetSysColorBrush(COLOR_WINDOW));
  RECT box = {r.left + 2, r.top + 1, r.left + size, r.top + size - 1};
  bool ticked = di.itemID < static_cast<UINT>(kEntries) && host_.doc.CheckListBox1[di.itemID + 1];
  DrawFrameControl(dc, &box, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_FLAT | (ticked ? DFCS_CHECKED : 0));
  RECT text = {box.right + 3, r.top, r.right, r.bottom};
  bool chosen = (di.itemState & ODS_SELECTED) != 0;
  if (chosen) FillRect(dc, &text, GetSysColorBrush(COLOR_HIGHLIGHT));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(chosen ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  HGDIOBJ old = SelectObject(dc, host_.font);
  RECT label = text;
  label.left += 2;
  DrawTextA(dc, kDialogSequenceNames[di.itemID + 1], -1, &label, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(dc, old);
  if ((di.itemState & ODS_FOCUS) && chosen) DrawFocusRect(dc, &text);
}

LRESULT CALLBACK DialogsPage::listProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = static_cast<DialogsPage*>(GetPropA(h, kSelfProperty));
  LRESULT result = CallWindowProcA(self->listWndProc_, h, msg, wp, lp);
  // A click on an entry's box ticks it.
  if (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK) {
    LRESULT hit = SendMessageA(h, LB_ITEMFROMPOINT, 0, lp);
    RECT r;
    if (!HIWORD(hit) && SendMessageA(h, LB_GETITEMRECT, LOWORD(hit), reinterpret_cast<LPARAM>(&r)) != LB_ERR &&
        static_cast<short>(LOWORD(lp)) < r.left + (r.bottom - r.top))
      self->toggleEntry(LOWORD(hit));
  }
  if (msg == WM_NCDESTROY) RemovePropA(h, kSelfProperty);
  return result;
}

LRESULT DialogsPage::handle(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  ProjectDocument& doc = host_.doc;
  switch (msg) {
    case WM_MEASUREITEM: {
      auto* mi = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
      RECT row = host_.scaled(0, 0, 16, 16);
      mi->itemHeight = static_cast<UINT>(row.bottom - row.top);
      return TRUE;
    }
    case WM_DRAWITEM: {
      const auto* di = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
      if (di->CtlID == IDC_CheckListBox1) drawEntry(*di);
      return TRUE;
    }
    case WM_VKEYTOITEM:
      if (LOWORD(wp) == VK_SPACE) {
        toggleEntry(static_cast<int>(SendMessageA(item(IDC_CheckListBox1), LB_GETCURSEL, 0, 0)));
        return -2;
      }
      return -1;
    case WM_COMMAND: {
      int id = LOWORD(wp), code = HIWORD(wp);
      HWND control = reinterpret_cast<HWND>(lp);
      if (id == IDC_CheckListBox1 && code == LBN_SELCHANGE) {
        entrySelected();
      } else if (id == IDC_ComboLanguage && code == CBN_SELCHANGE) {
        if (!doc.UpdateGuard) languageChosen();
      } else if (control && code == EN_CHANGE) {
        if (doc.UpdateGuard) return 0;
        std::string text = windowText(control);
        std::string* field = id == IDC_EditWelBmp    ? &doc.EditWelBmp
                             : id == IDC_EditLizenz  ? &doc.EditLizenz
                             : id == IDC_EditInfoTxt ? &doc.EditInfoTxt
                             : id == IDC_EditUserLB  ? &doc.EditUserLB
                             : id == IDC_EditAdvert  ? &doc.EditAdvert
                             : id == IDC_EditCustomDll ? &doc.EditCustomDll
                                                       : nullptr;
        if (!field) return 0;
        *field = text;
        // The extension DLL is not part of the project file; the others are.
        if (id != IDC_EditCustomDll) {
          doc.Modified = true;
          changedEdit_ = true;
        }
      } else if (control && code == EN_KILLFOCUS) {
        editLeft(id);
      } else if (code == BN_CLICKED) {
        if (id == IDC_BtnWelBmp || id == IDC_BtnLizenz || id == IDC_BtnInfoTxt || id == IDC_BtnUserLB ||
            id == IDC_BtnAdvert) {
          fileButton(id);
        } else if ((id == IDC_RadioForceReboot || id == IDC_RadioAutoReboot) && !doc.UpdateGuard) {
          bool force = id == IDC_RadioForceReboot;
          if (doc.RadioForceReboot != force) doc.Modified = true;
          doc.RadioForceReboot = force;
        }
      }
      return 0;
    }
    case WM_DESTROY: RemovePropA(h, kSelfProperty); break;
  }
  return DefWindowProcA(h, msg, wp, lp);
}

LRESULT CALLBACK DialogsPage::pageProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = static_cast<DialogsPage*>(GetPropA(h, kSelfProperty));
  return self ? self->handle(h, msg, wp, lp) : DefWindowProcA(h, msg, wp, lp);
}

}  // namespace tw
