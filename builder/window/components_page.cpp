// The Komponenten page: trees, buttons, shortcut list, drag and drop.
#include "builder/window/components_page.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "builder/file_version.h"
#include "builder/project/component_editing.h"
#include "builder/project/property_forms.h"
#include "builder/window/components_page_ids.h"
#include "builder/window/def_dir_dlg.h"
#include "builder/window/dialog_util.h"
#include "builder/window/get_fdir_dlg.h"
#include "builder/window/multi_edit.h"
#include "builder/window/reg_key_dlg.h"
#include "builder/window/reg_val_dlg.h"
#include "builder/window/sa_popup.h"
#include "builder/window/shell_name_dlg.h"

namespace tw {

namespace {

const char kPageClass[] = "TKomponentenSheet";
const int kItemHeight = 18;  // rows of both trees, in pixels

struct Control {
  int id;
  const char* cls;
  const char* text;
  DWORD style;
  int x, y, w, h;
  const char* hint;
};

const DWORD kBtn = WS_TABSTOP | BS_PUSHBUTTON;
const DWORD kTree = WS_TABSTOP | WS_BORDER | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_EDITLABELS |
                    TVS_SHOWSELALWAYS;

const Control kControls[] = {
    {0, "STATIC", "Komponenten", SS_LEFT, 6, 4, 200, 16, nullptr},
    {IDC_TVKomp, WC_TREEVIEWA, "", kTree, 6, 20, 262, 264, nullptr},
    {IDC_BitBtnF01, "BUTTON", "Neu", kBtn, 272, 20, 66, 24, "Dateikomponente hinzuf\xFCgen"},
    {IDC_BitBtnR01, "BUTTON", "Neu", kBtn, 272, 20, 66, 24, "Registrierungskomponente hinzuf\xFCgen"},
    {IDC_BitBtnF02, "BUTTON", "Dateien...", kBtn, 272, 46, 66, 24, "Bestehende Datei(en) einf\xFCgen"},
    {IDC_BitBtnR02, "BUTTON", "Wert...", kBtn, 272, 46, 66, 24, "Registrierungswert erstellen"},
    {IDC_BitBtnF03, "BUTTON", "Dummy", kBtn, 272, 72, 66, 24, "Dummy - Datei erstellen"},
    {IDC_BitBtnR03, "BUTTON", "Schl\xFCssel...", kBtn, 272, 72, 66, 24, "Subschl\xFCssel erstellen"},
    {IDC_BitBtn04, "BUTTON", "Entfernen", kBtn, 272, 106, 66, 24, "Eintrag entfernen"},
    {IDC_BitBtn05, "BUTTON", "Auf", kBtn, 272, 132, 66, 24, "Eins nach oben schieben"},
    {IDC_BitBtn06, "BUTTON", "Ab", kBtn, 272, 158, 66, 24, "Eins nach unten schieben"},
    {IDC_BitBtn07, "BUTTON", "Eigensch.", kBtn, 272, 192, 66, 24, "Eigenschaften bearbeiten"},

    {0, "STATIC", "Installationstyp", SS_LEFT, 344, 4, 200, 16, nullptr},
    {IDC_TVITypes, WC_TREEVIEWA, "", kTree, 344, 20, 262, 160, nullptr},
    {IDC_BitBtnI04, "BUTTON", "Entfernen", kBtn, 610, 20, 66, 24, "Eintrag entfernen"},
    {IDC_BitBtnI05, "BUTTON", "Auf", kBtn, 610, 46, 66, 24, "Eins nach oben schieben"},
    {IDC_BitBtnI06, "BUTTON", "Ab", kBtn, 610, 72, 66, 24, "Eins nach unten schieben"},
    {IDC_BitBtnI07, "BUTTON", "Darunter", kBtn, 610, 106, 66, 24, "Ausgew\xE4hlte Komponente darunter einf\xFCgen"},
    {IDC_BitBtnI08, "BUTTON", "Als Kind", kBtn, 610, 132, 66, 24, "Ausgew\xE4hlte Komponente als Kind einf\xFCgen"},
    {IDC_CheckNormInst, "BUTTON", "Normal", WS_TABSTOP | BS_AUTOCHECKBOX, 344, 184, 64, 18, nullptr},
    {IDC_CheckMinInst, "BUTTON", "Minimal", WS_TABSTOP | BS_AUTOCHECKBOX, 410, 184, 64, 18, nullptr},
    {IDC_CheckUserInst, "BUTTON", "Benutzer", WS_TABSTOP | BS_AUTOCHECKBOX, 476, 184, 70, 18, nullptr},
    {IDC_CheckSystemInst, "BUTTON", "Netzwerk", WS_TABSTOP | BS_AUTOCHECKBOX, 548, 184, 70, 18, nullptr},
    {0, "STATIC", "Vorgabe:", SS_LEFT, 344, 206, 50, 16, nullptr},
    {IDC_RBNorm, "BUTTON", "Normal", WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON, 396, 204, 64, 18, nullptr},
    {IDC_RBMin, "BUTTON", "Minimal", BS_AUTORADIOBUTTON, 462, 204, 64, 18, nullptr},
    {IDC_RBUser, "BUTTON", "Benutzer", BS_AUTORADIOBUTTON, 530, 204, 70, 18, nullptr},
    {0, "STATIC", "Beschreibung", SS_LEFT | WS_GROUP, 344, 226, 200, 16, nullptr},
    {IDC_MultiEdit2, "EDIT", "", WS_TABSTOP | WS_BORDER | ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL, 344, 242, 262,
     42, nullptr},
    {IDC_BitBtn2, "BUTTON", "Vorgabe", kBtn, 610, 242, 66, 24, "Vorgabetext laden"},

    {0, "STATIC", "Dateien im Startmen\xFC", SS_LEFT, 6, 288, 300, 16, nullptr},
    {IDC_CheckListBox2, "LISTBOX", "",
     WS_TABSTOP | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT, 6,
     304, 532, 96, nullptr},
    {IDC_BitBtnFileLink, "BUTTON", "Hinzuf\xFCgen", kBtn, 542, 304, 134, 22, "Ausgew\xE4hlte Komponente hinzuf\xFCgen"},
    {IDC_BitBtnEditSMF, "BUTTON", "Eigenschaften", kBtn, 542, 328, 134, 22, "Eigenschaften bearbeiten"},
    {IDC_BitBtnSMFUp, "BUTTON", "Auf", kBtn, 542, 352, 66, 22, "Eins nach oben schieben"},
    {IDC_BitBtnSMFDown, "BUTTON", "Ab", kBtn, 610, 352, 66, 22, "Eins nach unten schieben"},
    {IDC_BitBtnDelSMF, "BUTTON", "Entfernen", kBtn, 542, 376, 134, 22, "Eintrag entfernen"},

    {IDC_KompStatus, "EDIT", "", ES_READONLY | ES_AUTOHSCROLL | WS_BORDER, 6, 404, 670, 20, nullptr},
    {IDC_LabelOverwrite, "STATIC", "\xDC" "berschreiben:", SS_LEFT, 6, 407, 72, 16, nullptr},
    {IDC_RadioButtonOVN, "BUTTON", "Nie", WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON, 80, 404, 44, 20, nullptr},
    {IDC_RadioButtonOVA, "BUTTON", "Immer", BS_AUTORADIOBUTTON, 126, 404, 56, 20, nullptr},
    {IDC_RadioButtonOVD, "BUTTON", "Neueres Datum", BS_AUTORADIOBUTTON, 184, 404, 104, 20, nullptr},
    {IDC_RadioButtonOVV, "BUTTON", "H\xF6here Version", BS_AUTORADIOBUTTON, 290, 404, 104, 20, nullptr},
    {IDC_CBSharedDll, "BUTTON", "Gemeinsame System-Dll", WS_TABSTOP | WS_GROUP | BS_AUTOCHECKBOX, 398, 404, 150, 20,
     nullptr},
    {IDC_CBIniFile, "BUTTON", "Ini - Datei", WS_TABSTOP | BS_AUTOCHECKBOX, 552, 404, 100, 20, nullptr},
};

const int kFileOptionIds[] = {IDC_LabelOverwrite, IDC_RadioButtonOVN, IDC_RadioButtonOVA, IDC_RadioButtonOVD,
                              IDC_RadioButtonOVV,  IDC_CBSharedDll,    IDC_CBIniFile};

// ---- Pictures --------------------------------------------------------------

// Node pictures 0..11 and the four state pictures, drawn once.
HIMAGELIST makeNodeImages() {
  HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 12, 0);
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  for (int picture = 0; picture < 12; ++picture) {
    HBITMAP bmp = CreateCompatibleBitmap(screen, 16, 16);
    HGDIOBJ old = SelectObject(dc, bmp);
    RECT all = {0, 0, 16, 16};
    HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
    FillRect(dc, &all, magenta);
    DeleteObject(magenta);
    COLORREF fill;
    RECT body = {1, 3, 15, 14};
    switch (picture) {
      case 0: fill = RGB(230, 190, 60); break;   // folder
      case 1: fill = RGB(250, 220, 110); break;  // open folder
      case 2: fill = RGB(255, 255, 255); body = {3, 1, 13, 15}; break;  // file
      case 3: fill = RGB(200, 200, 200); body = {3, 1, 13, 15}; break;  // dummy file
      case 4: fill = RGB(60, 110, 200); break;   // key
      case 5: fill = RGB(120, 170, 240); break;
      case 6: fill = RGB(70, 160, 80); body = {2, 4, 14, 12}; break;  // value
      case 10: fill = RGB(200, 50, 50); break;  // remove file objects
      case 11: fill = RGB(240, 110, 110); break;
      default: fill = RGB(128, 128, 128); break;
    }
    HBRUSH brush = CreateSolidBrush(fill);
    FillRect(dc, &body, brush);
    DeleteObject(brush);
    FrameRect(dc, &body, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    if (picture == 0 || picture == 1) {
      RECT tab = {1, 1, 7, 3};
      HBRUSH t = CreateSolidBrush(fill);
      FillRect(dc, &tab, t);
      DeleteObject(t);
    }
    if (picture == 10 || picture == 11) {
      MoveToEx(dc, 4, 5, nullptr);
      LineTo(dc, 12, 13);
      MoveToEx(dc, 11, 5, nullptr);
      LineTo(dc, 3, 13);
    }
    SelectObject(dc, old);
    ImageList_AddMasked(list, bmp, RGB(255, 0, 255));
    DeleteObject(bmp);
  }
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return list;
}

// State pictures 1..4: ticked check box, empty check box, selected option
// button, empty option button (0 stays blank).
HIMAGELIST makeStateImages() {
  HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 5, 0);
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
  HPEN tick = CreatePen(PS_SOLID, 2, RGB(0, 0, 0));
  for (int picture = 0; picture < 5; ++picture) {
    HBITMAP bmp = CreateCompatibleBitmap(screen, 16, 16);
    HGDIOBJ old = SelectObject(dc, bmp);
    RECT all = {0, 0, 16, 16};
    HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
    FillRect(dc, &all, magenta);
    DeleteObject(magenta);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(WHITE_BRUSH));
    if (picture == 1 || picture == 2) {
      Rectangle(dc, 2, 2, 15, 15);
      if (picture == 1) {
        SelectObject(dc, tick);
        MoveToEx(dc, 4, 8, nullptr);
        LineTo(dc, 7, 11);
        LineTo(dc, 12, 5);
      }
    } else if (picture == 3 || picture == 4) {
      Ellipse(dc, 2, 2, 15, 15);
      if (picture == 3) {
        SelectObject(dc, GetStockObject(BLACK_BRUSH));
        Ellipse(dc, 6, 6, 11, 11);
      }
    }
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    SelectObject(dc, old);
    ImageList_AddMasked(list, bmp, RGB(255, 0, 255));
    DeleteObject(bmp);
  }
  DeleteObject(pen);
  DeleteObject(tick);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return list;
}

// Drag cursors 1 (move), 2 (copy), 3 (link): an arrow with a small box
// below it, the box holding nothing, a plus or an arrow.
HCURSOR makeDragCursor(int kind) {
  static const char* const arrow[] = {
      "X", "XX", "X.X", "X..X", "X...X", "X....X", "X.....X", "X......X", "X.......X", "X....XXXX",
      "X.X..X", "XX X..X", "X   X..X", "     X..X", "     XXX",
  };
  BYTE andMask[32 * 4], xorMask[32 * 4];
  for (int i = 0; i < 128; ++i) {
    andMask[i] = 0xFF;
    xorMask[i] = 0;
  }
  auto set = [&](int x, int y, bool black) {
    int byte = y * 4 + x / 8, bit = 0x80 >> (x % 8);
    andMask[byte] &= static_cast<BYTE>(~bit);
    if (!black) xorMask[byte] |= static_cast<BYTE>(bit);
  };
  for (int y = 0; y < 15; ++y)
    for (int x = 0; arrow[y][x]; ++x)
      if (arrow[y][x] != ' ') set(x, y, arrow[y][x] == 'X');
  for (int y = 16; y < 28; ++y)
    for (int x = 8; x < 22; ++x) set(x, y, y == 16 || y == 27 || x == 8 || x == 21);
  if (kind == 2)
    for (int i = 18; i < 26; ++i) {
      set(14, i, true);
      set(15, i, true);
      set(i - 7, 21, true);
      set(i - 7, 22, true);
    }
  if (kind == 3)
    for (int i = 0; i < 7; ++i) {
      set(11 + i, 25 - i, true);
      set(17, 19 + i / 2, true);
      set(14 + i / 2, 19, true);
    }
  return CreateCursor(GetModuleHandleA(nullptr), 0, 0, 32, 32, andMask, xorMask);
}

std::string listText(HWND list, int index) {
  LRESULT n = SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (n == LB_ERR) return {};
  std::string s(static_cast<size_t>(n) + 1, '\0');
  SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&s[0]));
  s.resize(static_cast<size_t>(n));
  return s;
}

}  // namespace

class ComponentsPageImpl {
 public:
  ComponentsPageImpl(ProjectDocument& doc, const LanguageTexts& language) : doc_(doc), language_(language) {}
  bool create(HWND main, HINSTANCE instance, HFONT font, const RECT& area, const ComponentsPage::Scale& scale);
  void showDocument();
  void commitDescription();

  HWND hwnd_ = nullptr;

 private:
  static LRESULT CALLBACK pageProc(HWND h, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK treeProc(HWND h, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK listProc(HWND h, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK keyHook(int code, WPARAM wp, LPARAM lp);
  LRESULT handle(UINT msg, WPARAM wp, LPARAM lp);
  HWND item(int id) const { return GetDlgItem(hwnd_, id); }
  HWND kompTree() const { return item(IDC_TVKomp); }
  HWND typeTree() const { return item(IDC_TVITypes); }
  HWND shortcutList() const { return item(IDC_CheckListBox2); }
  void modified() { doc_.Modified = true; }

  // Filling the controls from the document.
  void fillTree(HWND tree, const Tree& model, TreeNode* select);
  void fillKomp(TreeNode* select) { fillTree(kompTree(), doc_.TVKomp, select); }
  void fillTypes(TreeNode* select) { fillTree(typeTree(), doc_.TVITypes, select); }
  void fillShortcuts(int select);
  void fillTypeChecks();
  TreeNode* selected(HWND tree) const;
  TreeNode* nodeAt(HWND tree, HTREEITEM item) const;
  TreeNode* nodeAtScreen(HWND tree, POINT screen, UINT* flags = nullptr) const;
  void selectNode(HWND tree, TreeNode* node);

  // Selection changes.
  void kompSelected();
  void typeSelected();
  void shortcutSelected();
  void showStatus(const std::string& text);
  void showFileOptions(TreeNode& entry);

  // Commands.
  void command(int id, int code, HWND control);
  void addComponent(bool fileSide);
  void addFiles();
  void addValue();
  void addDummy();
  void addSubkey();
  void removeKomp();
  void moveKomp(bool up);
  void properties();
  void editSubkey(TreeNode& node);
  void editRegistryComponent(TreeNode& node);
  void removeReference();
  void moveReference(bool up);
  void insertReference(bool asChild);
  void loadTypeText();
  void typeCheckClicked(int id);
  void fileOptionClicked();
  void addShortcut(TreeNode& target, int before);
  void removeShortcutEntry();
  void moveShortcut(bool up);
  void editShortcut();
  void toggleShortcut(int index);
  void afterComponentsChanged() { aliasMenu().rebuild(doc_); }

  // Notifications of the trees.
  LRESULT notify(const NMHDR& nm);
  bool endLabelEdit(HWND tree, const NMTVDISPINFOA& info);
  void stateClick();

  // Drag and drop.
  void beginDrag(HWND tree, TreeNode* node);
  void dragMove();
  void drop();
  void endDrag();
  enum class DropPlace { None, Komp, Types, Shortcuts };
  DropPlace dropTarget(TreeNode** node, int* listIndex, bool* copy);
  void filesDropped(HDROP drop);

  ProjectDocument& doc_;
  const LanguageTexts& language_;
  HIMAGELIST nodeImages_ = nullptr;
  HIMAGELIST stateImages_ = nullptr;
  HCURSOR cursors_[4] = {};
  HWND tooltip_ = nullptr;
  // The tree items of the nodes, per tree; refilled after every change.
  std::map<const TreeNode*, HTREEITEM> kompItems_, typeItems_;
  std::map<const TreeNode*, HTREEITEM>& itemsOf(HWND tree) { return tree == kompTree() ? kompItems_ : typeItems_; }
  int editedType_ = -1;
  RegKeyForm keyForm_;
  RegValForm valueForm_;
  bool updateSourceEntries_ = false;
  // Drag state.
  bool dragging_ = false;
  HWND dragTree_ = nullptr;
  TreeNode* DragRef = nullptr;
  TreeNode* DragNode = nullptr;
  HHOOK hook_ = nullptr;
  static ComponentsPageImpl* dragging;
};

ComponentsPageImpl* ComponentsPageImpl::dragging = nullptr;

bool ComponentsPageImpl::create(HWND main, HINSTANCE instance, HFONT font, const RECT& area,
                                const ComponentsPage::Scale& scale) {
  WNDCLASSA wc = {};
  if (!GetClassInfoA(instance, kPageClass, &wc)) {
    wc.lpfnWndProc = pageProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kPageClass;
    RegisterClassA(&wc);
  }
  hwnd_ = CreateWindowExA(WS_EX_CONTROLPARENT, kPageClass, "", WS_CHILD | WS_CLIPSIBLINGS, area.left, area.top,
                          area.right - area.left, area.bottom - area.top, main,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_PageKomponenten)), instance, this);
  if (!hwnd_) return false;
  tooltip_ = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, instance, nullptr);
  for (const Control& c : kControls) {
    PixelRect r = scale(c.x, c.y, c.w, c.h);
    bool edit = std::string(c.cls) == "EDIT" || std::string(c.cls) == WC_TREEVIEWA || std::string(c.cls) == "LISTBOX";
    DWORD exStyle = edit && (c.style & WS_BORDER) ? WS_EX_CLIENTEDGE : 0;
    DWORD style = (c.style & ~(exStyle ? WS_BORDER : 0)) | WS_CHILD | WS_VISIBLE;
    HWND h = CreateWindowExA(exStyle, c.cls, c.text, style, r.x, r.y, r.width, r.height, hwnd_,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id ? c.id : 0xFFFF)), instance, nullptr);
    SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (c.hint && tooltip_) {
      TOOLINFOA ti = {};
      ti.cbSize = TTTOOLINFOA_V1_SIZE;
      ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
      ti.hwnd = hwnd_;
      ti.uId = reinterpret_cast<UINT_PTR>(h);
      ti.lpszText = const_cast<char*>(c.hint);
      SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
    }
  }
  nodeImages_ = makeNodeImages();
  stateImages_ = makeStateImages();
  for (HWND tree : {kompTree(), typeTree()}) {
    SendMessageA(tree, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(nodeImages_));
    SendMessageA(tree, TVM_SETIMAGELIST, TVSIL_STATE, reinterpret_cast<LPARAM>(stateImages_));
    SendMessageA(tree, TVM_SETITEMHEIGHT, kItemHeight, 0);
    SetPropA(tree, "TwOldProc", reinterpret_cast<HANDLE>(GetWindowLongPtrA(tree, GWLP_WNDPROC)));
    SetWindowLongPtrA(tree, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(treeProc));
  }
  DragAcceptFiles(kompTree(), TRUE);
  HWND list = shortcutList();
  SetPropA(list, "TwOldProc", reinterpret_cast<HANDLE>(GetWindowLongPtrA(list, GWLP_WNDPROC)));
  SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(listProc));
  makeMultiEdit(item(IDC_MultiEdit2), false);
  for (int k = 1; k <= 3; ++k) cursors_[k] = makeDragCursor(k);
  for (int id : kFileOptionIds) ShowWindow(item(id), SW_HIDE);
  return true;
}

// ---- Filling ----------------------------------------------------------------

void ComponentsPageImpl::fillTree(HWND tree, const Tree& model, TreeNode* select) {
  bool guard = doc_.UpdateGuard;
  doc_.UpdateGuard = true;
  SendMessageA(tree, WM_SETREDRAW, FALSE, 0);
  SendMessageA(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
  auto& items = itemsOf(tree);
  items.clear();
  std::vector<std::pair<const TreeNode*, HTREEITEM>> expand;
  std::function<void(const TreeNode&, HTREEITEM)> add = [&](const TreeNode& node, HTREEITEM parent) {
    TVINSERTSTRUCTA ins = {};
    ins.hParent = parent;
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_STATE;
    // A value's text holds name NUL data: the tree shows the name.
    ins.item.pszText = const_cast<char*>(node.text.c_str());
    ins.item.iImage = node.picture;
    ins.item.iSelectedImage = node.selectedPicture;
    ins.item.lParam = reinterpret_cast<LPARAM>(&node);
    ins.item.stateMask = TVIS_STATEIMAGEMASK;
    ins.item.state = INDEXTOSTATEIMAGEMASK(static_cast<int>(node.state));
    HTREEITEM h = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins)));
    items[&node] = h;
    for (const auto& c : node.children) add(*c, h);
    if (node.expanded) expand.emplace_back(&node, h);
  };
  for (const auto& r : model.roots) add(*r, TVI_ROOT);
  for (const auto& e : expand) SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(e.second));
  SendMessageA(tree, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(tree, nullptr, TRUE);
  doc_.UpdateGuard = guard;
  if (!select && !model.roots.empty()) select = model.roots[0].get();
  selectNode(tree, select);
}

void ComponentsPageImpl::selectNode(HWND tree, TreeNode* node) {
  auto& items = itemsOf(tree);
  auto it = items.find(node);
  if (it == items.end()) return;
  SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(it->second));
  SendMessageA(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(it->second));
  // Selecting the item that was selected already sends no change.
  if (tree == kompTree()) kompSelected();
  else typeSelected();
}

TreeNode* ComponentsPageImpl::nodeAt(HWND tree, HTREEITEM h) const {
  if (!h) return nullptr;
  TVITEMA it = {};
  it.mask = TVIF_PARAM;
  it.hItem = h;
  if (!SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it))) return nullptr;
  return reinterpret_cast<TreeNode*>(it.lParam);
}

TreeNode* ComponentsPageImpl::selected(HWND tree) const {
  return nodeAt(tree, reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0)));
}

TreeNode* ComponentsPageImpl::nodeAtScreen(HWND tree, POINT screen, UINT* flags) const {
  TVHITTESTINFO hit = {};
  hit.pt = screen;
  ScreenToClient(tree, &hit.pt);
  HTREEITEM h = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  if (flags) *flags = hit.flags;
  if (!(hit.flags & (TVHT_ONITEM | TVHT_ONITEMRIGHT | TVHT_ONITEMINDENT | TVHT_ONITEMBUTTON))) return nullptr;
  return nodeAt(tree, h);
}

void ComponentsPageImpl::fillShortcuts(int select) {
  HWND list = shortcutList();
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  for (const ShortcutEntry& e : doc_.CheckListBox2)
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(shortcutListText(e).c_str()));
  SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(select), 0);
  shortcutSelected();
}

void ComponentsPageImpl::fillTypeChecks() {
  bool guard = doc_.UpdateGuard;
  doc_.UpdateGuard = true;
  setItemChecked(hwnd_, IDC_CheckNormInst, true);
  setItemChecked(hwnd_, IDC_CheckMinInst, doc_.CheckMinInst);
  setItemChecked(hwnd_, IDC_CheckUserInst, doc_.CheckUserInst);
  setItemChecked(hwnd_, IDC_CheckSystemInst, doc_.CheckSystemInst);
  enableItem(hwnd_, IDC_RBMin, doc_.CheckMinInst);
  enableItem(hwnd_, IDC_RBUser, doc_.CheckUserInst);
  setItemChecked(hwnd_, IDC_RBNorm, doc_.DefaultType == kTypeNormal);
  setItemChecked(hwnd_, IDC_RBMin, doc_.DefaultType == kTypeMinimal);
  setItemChecked(hwnd_, IDC_RBUser, doc_.DefaultType == kTypeBenutzer);
  doc_.UpdateGuard = guard;
}

void ComponentsPageImpl::showDocument() {
  editedType_ = -1;
  aliasMenu().rebuild(doc_);
  fillTypeChecks();
  fillShortcuts(-1);
  fillKomp(nullptr);
  fillTypes(nullptr);
}

void ComponentsPageImpl::commitDescription() {
  HWND editor = item(IDC_MultiEdit2);
  if (editedType_ < 0 || !multiEditModified(editor)) return;
  doc_.setTypeDescription(editedType_, multiEditTake(editor));
  modified();
}

// ---- Selection ------------------------------------------------------------------

void ComponentsPageImpl::showStatus(const std::string& text) {
  for (int id : kFileOptionIds) ShowWindow(item(id), SW_HIDE);
  ShowWindow(item(IDC_KompStatus), SW_SHOW);
  SetWindowTextA(item(IDC_KompStatus), text.c_str());
}

void ComponentsPageImpl::showFileOptions(TreeNode& entry) {
  bool guard = doc_.UpdateGuard;
  doc_.UpdateGuard = true;
  FileOptions o = fileOptionsOf(entry.value);
  const int modes[4] = {IDC_RadioButtonOVA, IDC_RadioButtonOVD, IDC_RadioButtonOVV, IDC_RadioButtonOVN};
  for (int m = 0; m < 4; ++m) setItemChecked(hwnd_, modes[m], static_cast<int>(o.mode) == m);
  setItemChecked(hwnd_, IDC_CBSharedDll, o.shared);
  setItemChecked(hwnd_, IDC_CBIniFile, o.ini);
  enableItem(hwnd_, IDC_CBSharedDll, o.sharedEnabled);
  enableItem(hwnd_, IDC_CBIniFile, o.iniEnabled);
  // "Hoehere Version" only for files that carry version information.
  std::string source = expandedSourcePath(doc_.DefSrcPathValue, entry.text);
  DWORD ignored = 0;
  enableItem(hwnd_, IDC_RadioButtonOVV, GetFileVersionInfoSizeA(source.c_str(), &ignored) > 0);
  ShowWindow(item(IDC_KompStatus), SW_HIDE);
  for (int id : kFileOptionIds) ShowWindow(item(id), SW_SHOW);
  doc_.UpdateGuard = guard;
}

void ComponentsPageImpl::kompSelected() {
  TreeNode* node = selected(kompTree());
  KompButtons b = kompButtons(doc_, node);
  // Both members of a pair are set before either is shown: no flicker.
  const int file[3] = {IDC_BitBtnF01, IDC_BitBtnF02, IDC_BitBtnF03};
  const int reg[3] = {IDC_BitBtnR01, IDC_BitBtnR02, IDC_BitBtnR03};
  const bool pos[3] = {b.position1, b.position2, b.position3};
  for (int i = 0; i < 3; ++i) {
    EnableWindow(item(file[i]), pos[i]);
    EnableWindow(item(reg[i]), pos[i]);
    ShowWindow(item(b.fileSide ? reg[i] : file[i]), SW_HIDE);
    ShowWindow(item(b.fileSide ? file[i] : reg[i]), SW_SHOW);
  }
  EnableWindow(item(IDC_BitBtn04), b.remove);
  EnableWindow(item(IDC_BitBtn05), b.up);
  EnableWindow(item(IDC_BitBtn06), b.down);
  EnableWindow(item(IDC_BitBtn07), b.properties);
  TreeNode* type = selected(typeTree());
  EnableWindow(item(IDC_BitBtnI08), b.insertIntoTypes);
  EnableWindow(item(IDC_BitBtnI07), b.insertIntoTypes && type && type->parent);
  EnableWindow(item(IDC_BitBtnFileLink), b.fileLink);
  if (node && kompKind(node) == KompKind::FileEntry) showFileOptions(*node);
  else showStatus(kompStatusText(node));
}

void ComponentsPageImpl::typeSelected() {
  TreeNode* node = selected(typeTree());
  TypeButtons b = typeButtons(node);
  EnableWindow(item(IDC_BitBtnI04), b.remove);
  EnableWindow(item(IDC_BitBtnI05), b.up);
  EnableWindow(item(IDC_BitBtnI06), b.down);
  HWND editor = item(IDC_MultiEdit2);
  commitDescription();
  if (!node) return;
  if (!node->parent) {
    editedType_ = node->value;
    multiEditSetText(editor, doc_.typeDescription(editedType_));
    multiEditSetReadOnly(editor, false);
    EnableWindow(item(IDC_BitBtn2), TRUE);
    EnableWindow(item(IDC_BitBtnI07), FALSE);
    return;
  }
  editedType_ = -1;
  EnableWindow(item(IDC_BitBtn2), FALSE);
  TreeNode* component = node->component;
  multiEditSetText(editor, component && component->komp ? component->komp->description : std::string());
  multiEditSetReadOnly(editor, true);
  if (component) selectNode(kompTree(), component);
  EnableWindow(item(IDC_BitBtnI07), IsWindowEnabled(item(IDC_BitBtnI08)));
}

void ComponentsPageImpl::shortcutSelected() {
  HWND list = shortcutList();
  int index = static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0));
  int count = static_cast<int>(doc_.CheckListBox2.size());
  bool any = index >= 0 && index < count;
  EnableWindow(item(IDC_BitBtnDelSMF), any);
  EnableWindow(item(IDC_BitBtnEditSMF), any);
  EnableWindow(item(IDC_BitBtnSMFUp), any && index > 0);
  EnableWindow(item(IDC_BitBtnSMFDown), any && index < count - 1);
  if (any) showStatus(shortcutStatusText(doc_.CheckListBox2[static_cast<size_t>(index)]));
}

// ---- Commands --------------------------------------------------------------------

void ComponentsPageImpl::command(int id, int code, HWND control) {
  if (doc_.UpdateGuard) return;
  if (id == IDC_CheckListBox2) {
    if (code == LBN_SELCHANGE) shortcutSelected();
    else if (code == LBN_DBLCLK) editShortcut();
    return;
  }
  if (id == IDC_MultiEdit2) return;
  if (code != BN_CLICKED) return;
  switch (id) {
    case IDC_BitBtnF01: addComponent(true); break;
    case IDC_BitBtnR01: addComponent(false); break;
    case IDC_BitBtnF02: addFiles(); break;
    case IDC_BitBtnR02: addValue(); break;
    case IDC_BitBtnF03: addDummy(); break;
    case IDC_BitBtnR03: addSubkey(); break;
    case IDC_BitBtn04: removeKomp(); break;
    case IDC_BitBtn05: moveKomp(true); break;
    case IDC_BitBtn06: moveKomp(false); break;
    case IDC_BitBtn07: properties(); break;
    case IDC_BitBtnI04: removeReference(); break;
    case IDC_BitBtnI05: moveReference(true); break;
    case IDC_BitBtnI06: moveReference(false); break;
    case IDC_BitBtnI07: insertReference(false); break;
    case IDC_BitBtnI08: insertReference(true); break;
    case IDC_BitBtn2: loadTypeText(); break;
    case IDC_CheckNormInst:
    case IDC_CheckMinInst:
    case IDC_CheckUserInst:
    case IDC_CheckSystemInst: typeCheckClicked(id); break;
    case IDC_RBNorm:
    case IDC_RBMin:
    case IDC_RBUser:
      if (SendMessageA(control, BM_GETCHECK, 0, 0) != BST_CHECKED) break;
      doc_.DefaultType = id == IDC_RBNorm ? kTypeNormal : id == IDC_RBMin ? kTypeMinimal : kTypeBenutzer;
      modified();
      break;
    case IDC_RadioButtonOVN:
    case IDC_RadioButtonOVA:
    case IDC_RadioButtonOVD:
    case IDC_RadioButtonOVV:
    case IDC_CBSharedDll:
    case IDC_CBIniFile: fileOptionClicked(); break;
    case IDC_BitBtnFileLink: {
      TreeNode* node = selected(kompTree());
      if (node && kompKind(node) == KompKind::FileEntry) {
        int index = static_cast<int>(SendMessageA(shortcutList(), LB_GETCURSEL, 0, 0));
        addShortcut(*node, index < 0 ? 0 : index + 1);
      }
      break;
    }
    case IDC_BitBtnDelSMF: removeShortcutEntry(); break;
    case IDC_BitBtnSMFUp: moveShortcut(true); break;
    case IDC_BitBtnSMFDown: moveShortcut(false); break;
    case IDC_BitBtnEditSMF: editShortcut(); break;
    default: break;
  }
}

void ComponentsPageImpl::addComponent(bool fileSide) {
  TreeNode* at = selected(kompTree());
  if (!at || !kompButtons(doc_, at).position1) return;
  PendingComponent pending(doc_);
  if (fileSide) {
    FileComponentFields f;
    f.name = "Neue Komponente";
    f.path = "<InstallDir>";
    if (!TGetFDirDlgExecute(hwnd_, f)) return;  // the id goes back
    pending.record().path = f.path;
    pending.record().description = f.description;
    pending.record().flags = f.flags;
    TreeNode* node = tw::addComponent(doc_, *at, f.name.empty() ? "Neue Komponente" : f.name, pending.commit());
    afterComponentsChanged();
    modified();
    fillKomp(node);
    return;
  }
  bool subkey = kompKind(at) == KompKind::Subkey;
  std::string parentKey;
  if (subkey) {
    // A subkey's sibling: the parent's key is shown, the record dropped.
    parentKey = parentKeyText(*at->parent);
    keyForm_.setParentKey(&parentKey);
    keyForm_.setRemoveMode(1);
    keyForm_.fillNew(keyFlags(*at->parent), true, false);
  } else {
    keyForm_.setParentKey(nullptr);
    keyForm_.setRemoveMode(0);
    keyForm_.fillNew(0, false, true);
  }
  if (!TRegKeyDlgExecute(hwnd_, keyForm_)) return;
  std::string name, key, description;
  int32_t flags = keyForm_.read(name, key, description);
  if (flags < 0) return;
  TreeNode* node;
  if (subkey) {
    pending.cancel();
    node = &addSubkeyAfter(*at, key, flags);
  } else {
    pending.record().flags = flags;
    pending.record().path = key;
    pending.record().description = description;
    node = tw::addComponent(doc_, *at, name, pending.commit());
  }
  modified();
  fillKomp(node);
}

void ComponentsPageImpl::addFiles() {
  TreeNode* component = owningComponent(selected(kompTree()));
  if (kompKind(component) != KompKind::FileComponent) return;
  std::vector<char> buffer(64 * 1024, '\0');
  OPENFILENAMEA ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = hwnd_;
  ofn.lpstrFilter = "Alle Dateien\0*.*\0";
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = static_cast<DWORD>(buffer.size());
  ofn.lpstrInitialDir = doc_.DefSrcPathValue.empty() ? nullptr : doc_.DefSrcPathValue.c_str();
  ofn.Flags = OFN_ALLOWMULTISELECT | OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!GetOpenFileNameA(&ofn)) return;
  // One file: its full path; several: the folder, then the names.
  std::vector<std::string> parts;
  for (const char* p = buffer.data(); *p; p += lstrlenA(p) + 1) parts.emplace_back(p);
  std::vector<std::string> paths;
  if (parts.size() == 1) {
    paths = parts;
  } else {
    std::string folder = parts[0];
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    for (size_t i = 1; i < parts.size(); ++i) paths.push_back(folder + parts[i]);
  }
  addFileEntries(doc_, *component, paths);
  modified();
  fillKomp(component);
}

void ComponentsPageImpl::addValue() {
  TreeNode* key = selected(kompTree());
  KompKind k = kompKind(key);
  if (k != KompKind::RegistryComponent && k != KompKind::Subkey && k != KompKind::RemoveComponent) return;
  TreeNode* component = owningComponent(key);
  valueForm_.setStandardAllowed(!keyHasDefaultValue(*key));
  valueForm_.setUnderRemove(kompKind(component) == KompKind::RemoveComponent);
  valueForm_.applyRules();
  if (!TRegValDlgExecute(hwnd_, valueForm_)) return;
  std::string name, data;
  int32_t type = valueForm_.write(name, data);
  addRegistryValue(*key, name, data, type);
  modified();
  fillKomp(key);
}

void ComponentsPageImpl::addDummy() {
  TreeNode* component = owningComponent(selected(kompTree()));
  if (kompKind(component) != KompKind::FileComponent) return;
  TreeNode& entry = addDummyEntry(*component);
  modified();
  fillKomp(&entry);
}

void ComponentsPageImpl::addSubkey() {
  TreeNode* key = selected(kompTree());
  KompKind k = kompKind(key);
  if (k != KompKind::RegistryComponent && k != KompKind::Subkey) return;
  std::string parentKey = parentKeyText(*key);
  keyForm_.setParentKey(&parentKey);
  keyForm_.setRemoveMode(1);
  // Below a component "Nicht als Option verwenden" is ticked and locked;
  // below a subkey it can be chosen.
  bool belowComponent = k == KompKind::RegistryComponent;
  keyForm_.fillNew(keyFlags(*key), belowComponent, !belowComponent);
  if (!TRegKeyDlgExecute(hwnd_, keyForm_)) return;
  std::string name, text, description;
  int32_t flags = keyForm_.read(name, text, description);
  if (flags < 0) return;
  TreeNode& node = tw::addSubkey(*key, text, flags);
  modified();
  fillKomp(&node);
}

void ComponentsPageImpl::removeKomp() {
  TreeNode* node = selected(kompTree());
  if (!node || !kompButtons(doc_, node).remove) return;
  bool component = isComponent(node);
  TreeNode* next = removeKompNode(doc_, *node);
  if (component) afterComponentsChanged();
  modified();
  fillTypes(nullptr);
  fillShortcuts(-1);
  fillKomp(next);
}

void ComponentsPageImpl::moveKomp(bool up) {
  TreeNode* node = selected(kompTree());
  if (!node || !(up ? moveUp(doc_, *node) : moveDown(doc_, *node))) return;
  if (kompKind(node) == KompKind::FileComponent) afterComponentsChanged();
  modified();
  fillKomp(node);
}

void ComponentsPageImpl::properties() {
  TreeNode* node = selected(kompTree());
  if (!node || !kompButtons(doc_, node).properties) return;
  switch (kompKind(node)) {
    case KompKind::FileRoot: {
      std::string path = doc_.DefSrcPathValue;
      if (!TDefDirDlgExecute(hwnd_, path, updateSourceEntries_)) return;
      if (updateDefSrcPath(doc_, path, updateSourceEntries_)) modified();
      fillKomp(node);
      return;
    }
    case KompKind::FileComponent: {
      FileComponentFields f{node->text, node->komp->path, node->komp->description, node->komp->flags};
      if (!TGetFDirDlgExecute(hwnd_, f)) return;
      node->komp->path = f.path;
      node->komp->description = f.description;
      doc_.setComponentFlags(*node, f.flags);
      renameKompNode(doc_, *node, f.name);
      afterComponentsChanged();
      modified();
      fillTypes(selected(typeTree()));
      fillShortcuts(-1);
      fillKomp(node);
      return;
    }
    case KompKind::RegistryComponent:
    case KompKind::RemoveComponent: editRegistryComponent(*node); return;
    case KompKind::Subkey: editSubkey(*node); return;
    case KompKind::Value: {
      TreeNode* key = node->parent;
      valueForm_.setStandardAllowed(!keyHasDefaultValue(*key, node));
      valueForm_.setUnderRemove(kompKind(owningComponent(node)) == KompKind::RemoveComponent);
      valueForm_.fill(valueName(*node), valueData(*node), node->value);
      if (!TRegValDlgExecute(hwnd_, valueForm_)) return;
      std::string name, data;
      node->value = valueForm_.write(name, data);
      setValueText(*node, name, data);
      modified();
      fillKomp(node);
      return;
    }
    default: return;
  }
}

void ComponentsPageImpl::editRegistryComponent(TreeNode& node) {
  KompRec& rec = *node.komp;
  bool wasRemove = kompKind(&node) == KompKind::RemoveComponent;
  keyForm_.setParentKey(nullptr);
  keyForm_.setRemoveMode(wasRemove ? 2 : 0);
  keyForm_.fillExisting(node.text, rec.path, 0, rec.flags, rec.description);
  if (!TRegKeyDlgExecute(hwnd_, keyForm_)) return;
  std::string name, key, description;
  int32_t flags = keyForm_.read(name, key, description);
  if (flags < 0) return;
  if (!wasRemove) {
    // The selection state bits stay with the component.
    int32_t old = rec.flags;
    rec.path = key;
    rec.description = description;
    doc_.setComponentFlags(node, flags | (old & (kKompStateBit3 | kKompStateBit5)));
    applyRemovalToSubkeys(node, old, flags);
    node.picture = ((flags >> kKompRootCodeShift) & 0xFF) == 7 ? kPictureRemoveFileObjects : kPictureRegistry;
    node.selectedPicture = selectedPictureFor(node.picture);
    doc_.TVITypes.forEach([&](TreeNode& r) {
      if (r.component == &node) {
        r.picture = node.picture;
        r.selectedPicture = node.selectedPicture;
      }
    });
  }
  // A "REMOVE FILEOBJECTS" component takes only its new name.
  renameKompNode(doc_, node, name);
  modified();
  fillTypes(selected(typeTree()));
  fillKomp(&node);
}

void ComponentsPageImpl::editSubkey(TreeNode& node) {
  std::string parentKey = parentKeyText(*node.parent);
  keyForm_.setParentKey(&parentKey);
  keyForm_.setRemoveMode(1);
  keyForm_.fillExisting("", node.text, keyFlags(*node.parent), node.value, "");
  if (!TRegKeyDlgExecute(hwnd_, keyForm_)) return;
  std::string name, key, description;
  int32_t flags = keyForm_.read(name, key, description);
  if (flags < 0) return;  // an invalid key is a cancel
  int32_t old = node.value;
  node.text = key;
  node.value = flags;
  applyRemovalToSubkeys(node, old, flags);
  modified();
  fillKomp(&node);
}

void ComponentsPageImpl::removeReference() {
  TreeNode* node = selected(typeTree());
  if (!node || !node->parent) return;
  TreeNode* next = removeTypeReference(doc_, *node);
  modified();
  fillTypes(next);
}

void ComponentsPageImpl::moveReference(bool up) {
  TreeNode* node = selected(typeTree());
  if (!node || !(up ? moveUp(doc_, *node) : moveDown(doc_, *node))) return;
  modified();
  fillTypes(node);
}

void ComponentsPageImpl::insertReference(bool asChild) {
  TreeNode* component = selected(kompTree());
  TreeNode* type = selected(typeTree());
  if (!isComponent(component) || !type) return;
  TreeNode* added =
      asChild ? appendReference(doc_, *type, *component) : insertReferenceAfter(doc_, *type, *component);
  if (!added) return;
  modified();
  fillTypes(added);
}

void ComponentsPageImpl::loadTypeText() {
  if (editedType_ < 0) return;
  doc_.setTypeDescription(editedType_, language_.text(kLanguageTypeDescriptionBase + editedType_));
  multiEditSetText(item(IDC_MultiEdit2), doc_.typeDescription(editedType_));
  modified();
}

void ComponentsPageImpl::typeCheckClicked(int id) {
  commitDescription();
  editedType_ = -1;
  if (id == IDC_CheckNormInst) {
    // Normal always exists: the click reloads its description.
    doc_.setTypeDescription(kTypeNormal, language_.text(kLanguageTypeDescriptionBase));
  } else {
    int type = id == IDC_CheckMinInst ? kTypeMinimal : id == IDC_CheckUserInst ? kTypeBenutzer : kTypeNetzwerk;
    if (itemChecked(hwnd_, id)) doc_.addInstallationType(type, language_);
    else doc_.removeInstallationType(type);
    doc_.resolveTypeReferences();
  }
  modified();
  fillTypeChecks();
  fillTypes(nullptr);
}

void ComponentsPageImpl::fileOptionClicked() {
  TreeNode* node = selected(kompTree());
  if (!node || kompKind(node) != KompKind::FileEntry) return;
  Overwrite mode = itemChecked(hwnd_, IDC_RadioButtonOVN)   ? Overwrite::Never
                   : itemChecked(hwnd_, IDC_RadioButtonOVA) ? Overwrite::Always
                   : itemChecked(hwnd_, IDC_RadioButtonOVD) ? Overwrite::IfNewer
                                                            : Overwrite::IfHigherVersion;
  node->value = fileOptionValue(mode, itemChecked(hwnd_, IDC_CBSharedDll), itemChecked(hwnd_, IDC_CBIniFile));
  FileOptions o = fileOptionsOf(node->value);
  enableItem(hwnd_, IDC_CBSharedDll, o.sharedEnabled);
  enableItem(hwnd_, IDC_CBIniFile, o.iniEnabled);
  modified();
}

void ComponentsPageImpl::addShortcut(TreeNode& target, int before) {
  ShortcutEntry entry;
  entry.object.target = &target;
  if (!TShellNameDlgExecute(hwnd_, shortcutTargetText(&target), entry)) return;
  auto& list = doc_.CheckListBox2;
  if (before < 0 || before > static_cast<int>(list.size())) before = static_cast<int>(list.size());
  list.insert(list.begin() + before, entry);
  modified();
  fillShortcuts(before);
}

void ComponentsPageImpl::removeShortcutEntry() {
  int index = static_cast<int>(SendMessageA(shortcutList(), LB_GETCURSEL, 0, 0));
  if (index < 0) return;
  int next = removeShortcut(doc_, index);
  modified();
  fillShortcuts(next);
}

void ComponentsPageImpl::moveShortcut(bool up) {
  int index = static_cast<int>(SendMessageA(shortcutList(), LB_GETCURSEL, 0, 0));
  int other = up ? index - 1 : index + 1;
  if (index < 0 || !swapShortcuts(doc_, index, other)) return;
  modified();
  fillShortcuts(other);
}

void ComponentsPageImpl::editShortcut() {
  int index = static_cast<int>(SendMessageA(shortcutList(), LB_GETCURSEL, 0, 0));
  if (index < 0 || index >= static_cast<int>(doc_.CheckListBox2.size())) return;
  ShortcutEntry& entry = doc_.CheckListBox2[static_cast<size_t>(index)];
  if (!TShellNameDlgExecute(hwnd_, shortcutTargetText(entry.object.target), entry)) return;
  modified();
  fillShortcuts(index);
}

void ComponentsPageImpl::toggleShortcut(int index) {
  if (index < 0 || index >= static_cast<int>(doc_.CheckListBox2.size())) return;
  ShortcutEntry& entry = doc_.CheckListBox2[static_cast<size_t>(index)];
  entry.checked = !entry.checked;
  modified();
  RECT r;
  SendMessageA(shortcutList(), LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
  InvalidateRect(shortcutList(), &r, FALSE);
}

// ---- Tree notifications ----------------------------------------------------------

LRESULT ComponentsPageImpl::notify(const NMHDR& nm) {
  HWND tree = nm.hwndFrom;
  bool komp = nm.idFrom == IDC_TVKomp;
  if (nm.idFrom != IDC_TVKomp && nm.idFrom != IDC_TVITypes) return 0;
  switch (nm.code) {
    case TVN_SELCHANGEDA:
    case TVN_SELCHANGEDW:
      if (doc_.UpdateGuard) return 0;
      if (komp) kompSelected();
      else typeSelected();
      return 0;
    case TVN_ITEMEXPANDEDA:
    case TVN_ITEMEXPANDEDW: {
      const auto& tv = reinterpret_cast<const NMTREEVIEWA&>(nm);
      if (TreeNode* node = reinterpret_cast<TreeNode*>(tv.itemNew.lParam))
        node->expanded = (tv.action & TVE_EXPAND) != 0;
      return 0;
    }
    case TVN_BEGINLABELEDITA: {
      const auto& info = reinterpret_cast<const NMTVDISPINFOA&>(nm);
      TreeNode* node = reinterpret_cast<TreeNode*>(info.item.lParam);
      bool allowed = komp ? canRenameKomp(node) : canRenameType(node);
      return allowed ? FALSE : TRUE;
    }
    case TVN_ENDLABELEDITA: return endLabelEdit(tree, reinterpret_cast<const NMTVDISPINFOA&>(nm)) ? TRUE : FALSE;
    case TVN_KEYDOWN: {
      WORD key = reinterpret_cast<const NMTVKEYDOWN&>(nm).wVKey;
      if (key == VK_F2) {
        HTREEITEM h = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
        if (h) SendMessageA(tree, TVM_EDITLABELA, 0, reinterpret_cast<LPARAM>(h));
      } else if (key == VK_DELETE) {
        // The same checks as the remove buttons.
        if (komp && IsWindowEnabled(item(IDC_BitBtn04))) removeKomp();
        else if (!komp && IsWindowEnabled(item(IDC_BitBtnI04))) removeReference();
      }
      return 0;
    }
    case TVN_BEGINDRAGA:
    case TVN_BEGINDRAGW: {
      const auto& tv = reinterpret_cast<const NMTREEVIEWA&>(nm);
      beginDrag(tree, reinterpret_cast<TreeNode*>(tv.itemNew.lParam));
      return 0;
    }
    case NM_CLICK:
      if (!komp) stateClick();
      return 0;
    case NM_SETFOCUS:
      // Either tree shows the status of the component tree's selection.
      kompSelected();
      return 0;
    case NM_KILLFOCUS: {
      // The status stays for the file options and the default buttons.
      HWND focus = GetFocus();
      int id = focus && GetParent(focus) == hwnd_ ? GetDlgCtrlID(focus) : 0;
      bool keep = (id >= IDC_RadioButtonOVN && id <= IDC_CBIniFile) || (id >= IDC_RBNorm && id <= IDC_RBUser) ||
                  (focus && GetParent(focus) == tree);  // the tree's own label editor
      if (!keep) showStatus("");
      return 0;
    }
    default: return 0;
  }
}

bool ComponentsPageImpl::endLabelEdit(HWND tree, const NMTVDISPINFOA& info) {
  TreeNode* node = reinterpret_cast<TreeNode*>(info.item.lParam);
  if (!node || !info.item.pszText) return false;
  std::string text = info.item.pszText;
  if (tree == typeTree()) {
    if (!canRenameType(node) || text.empty()) return false;
    node->text = text;
    modified();
    return true;
  }
  bool component = isComponent(node);
  if (!renameKompNode(doc_, *node, text)) return false;
  modified();
  if (component) {
    if (kompKind(node) == KompKind::FileComponent) afterComponentsChanged();
    fillTypes(selected(typeTree()));
  }
  if (component || kompKind(node) == KompKind::FileEntry) {
    int index = static_cast<int>(SendMessageA(shortcutList(), LB_GETCURSEL, 0, 0));
    fillShortcuts(index);
  }
  if (kompKind(node) != KompKind::FileEntry) kompSelected();
  return true;
}

void ComponentsPageImpl::stateClick() {
  POINT p;
  GetCursorPos(&p);
  UINT flags = 0;
  TreeNode* node = nodeAtScreen(typeTree(), p, &flags);
  if (!node || !(flags & TVHT_ONITEMSTATEICON)) return;
  if (!cycleSelectionState(doc_, *node)) return;
  modified();
  // Every reference shows its component's new state; the tree keeps its items.
  for (const auto& entry : typeItems_) {
    TVITEMA it = {};
    it.mask = TVIF_STATE;
    it.hItem = entry.second;
    it.stateMask = TVIS_STATEIMAGEMASK;
    it.state = INDEXTOSTATEIMAGEMASK(static_cast<int>(entry.first->state));
    SendMessageA(typeTree(), TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&it));
  }
}

// ---- Drag and drop ----------------------------------------------------------------

void ComponentsPageImpl::beginDrag(HWND tree, TreeNode* node) {
  if (!node || !node->parent) return;  // roots are not dragged
  DragRef = nullptr;
  DragNode = nullptr;
  if (tree == typeTree()) {
    DragRef = node;
  } else {
    DragNode = node;
    if (isComponent(node)) DragRef = node;
  }
  dragTree_ = tree;
  dragging_ = true;
  dragging = this;
  SetCapture(hwnd_);
  // Shift, Ctrl and Alt change the drop at once: the hook sends the
  // capturing window a mouse move.
  hook_ = SetWindowsHookExA(WH_KEYBOARD, keyHook, nullptr, GetCurrentThreadId());
  dragMove();
}

LRESULT CALLBACK ComponentsPageImpl::keyHook(int code, WPARAM wp, LPARAM lp) {
  ComponentsPageImpl* self = dragging;
  if (code == HC_ACTION && self && self->dragging_) {
    if (wp == VK_SHIFT || wp == VK_CONTROL || wp == VK_MENU) {
      POINT p;
      GetCursorPos(&p);
      ScreenToClient(self->hwnd_, &p);
      PostMessageA(self->hwnd_, WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
    } else if (wp == VK_ESCAPE) {
      ReleaseCapture();
      return 1;
    }
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

ComponentsPageImpl::DropPlace ComponentsPageImpl::dropTarget(TreeNode** node, int* listIndex, bool* copy) {
  POINT p;
  GetCursorPos(&p);
  *copy = GetKeyState(VK_SHIFT) < 0;
  *node = nullptr;
  *listIndex = -1;
  HWND under = WindowFromPoint(p);
  if (under == kompTree() && DragNode) {
    *node = nodeAtScreen(kompTree(), p);
    if (*node && canDropOnKomp(doc_, *DragNode, **node, *copy)) return DropPlace::Komp;
  } else if (under == typeTree() && DragRef) {
    *node = nodeAtScreen(typeTree(), p);
    if (*node && canDropOnTypes(doc_, *DragRef, **node, *copy)) return DropPlace::Types;
  } else if (under == shortcutList() && DragNode) {
    KompKind k = kompKind(DragNode);
    if (k != KompKind::FileEntry && k != KompKind::DummyEntry) return DropPlace::None;
    POINT c = p;
    ScreenToClient(under, &c);
    LRESULT hit = SendMessageA(under, LB_ITEMFROMPOINT, 0, MAKELPARAM(c.x, c.y));
    if (!HIWORD(hit)) *listIndex = LOWORD(hit);
    return DropPlace::Shortcuts;
  }
  *node = nullptr;
  return DropPlace::None;
}

void ComponentsPageImpl::dragMove() {
  if (!dragging_) return;
  TreeNode* node;
  int index;
  bool copy;
  DropPlace place = dropTarget(&node, &index, &copy);
  for (HWND tree : {kompTree(), typeTree()}) {
    HTREEITEM h = nullptr;
    if (node && ((tree == kompTree() && place == DropPlace::Komp) || (tree == typeTree() && place == DropPlace::Types)))
      h = itemsOf(tree).count(node) ? itemsOf(tree)[node] : nullptr;
    SendMessageA(tree, TVM_SELECTITEM, TVGN_DROPHILITE, reinterpret_cast<LPARAM>(h));
  }
  if (place == DropPlace::Shortcuts && index >= 0) SendMessageA(shortcutList(), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
  HCURSOR cursor;
  switch (place) {
    case DropPlace::Komp: cursor = cursors_[copy ? 2 : 1]; break;
    case DropPlace::Types: cursor = cursors_[dragTree_ == kompTree() ? 3 : copy ? 2 : 1]; break;
    case DropPlace::Shortcuts: cursor = cursors_[3]; break;
    default: cursor = LoadCursor(nullptr, IDC_NO); break;
  }
  SetCursor(cursor);
}

void ComponentsPageImpl::drop() {
  TreeNode* node;
  int index;
  bool copy;
  DropPlace place = dropTarget(&node, &index, &copy);
  TreeNode* dragNode = DragNode;
  TreeNode* dragRef = DragRef;
  endDrag();
  switch (place) {
    case DropPlace::Komp: {
      bool component = isComponent(dragNode);
      TreeNode* added = dropOnKomp(doc_, *dragNode, *node, copy);
      if (!added) return;
      if (component) afterComponentsChanged();
      modified();
      fillTypes(selected(typeTree()));
      fillShortcuts(static_cast<int>(SendMessageA(shortcutList(), LB_GETCURSEL, 0, 0)));
      fillKomp(added);
      return;
    }
    case DropPlace::Types: {
      TreeNode* added = dropOnTypes(doc_, *dragRef, *node, copy);
      if (!added) return;
      modified();
      fillTypes(added);
      return;
    }
    case DropPlace::Shortcuts: addShortcut(*dragNode, index); return;
    default: return;
  }
}

void ComponentsPageImpl::endDrag() {
  if (!dragging_) return;
  dragging_ = false;
  dragging = nullptr;
  if (hook_) UnhookWindowsHookEx(hook_);
  hook_ = nullptr;
  for (HWND tree : {kompTree(), typeTree()}) SendMessageA(tree, TVM_SELECTITEM, TVGN_DROPHILITE, 0);
  if (GetCapture() == hwnd_) ReleaseCapture();
  DragRef = DragNode = nullptr;
}

// Files from the desktop's file manager: file entries of the component
// under the mouse (or of the selection's component).
void ComponentsPageImpl::filesDropped(HDROP dropped) {
  POINT p;
  DragQueryPoint(dropped, &p);
  ClientToScreen(kompTree(), &p);
  TreeNode* component = owningComponent(nodeAtScreen(kompTree(), p));
  if (kompKind(component) != KompKind::FileComponent) component = owningComponent(selected(kompTree()));
  std::vector<std::string> paths;
  UINT count = DragQueryFileA(dropped, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    char path[MAX_PATH * 2] = {};
    if (!DragQueryFileA(dropped, i, path, sizeof path)) continue;
    DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) paths.emplace_back(path);
  }
  DragFinish(dropped);
  if (kompKind(component) != KompKind::FileComponent || paths.empty()) return;
  addFileEntries(doc_, *component, paths);
  modified();
  fillKomp(component);
}

// ---- Window procedures ---------------------------------------------------------------

LRESULT ComponentsPageImpl::handle(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND: command(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp)); return 0;
    case WM_NOTIFY: return notify(*reinterpret_cast<const NMHDR*>(lp));
    case WM_MEASUREITEM: {
      auto* mi = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
      mi->itemHeight = 18;
      return TRUE;
    }
    case WM_DRAWITEM: {
      const auto* di = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
      if (di->CtlID != IDC_CheckListBox2) return FALSE;
      bool chosen = di->itemState & ODS_SELECTED;
      FillRect(di->hDC, &di->rcItem, GetSysColorBrush(chosen ? COLOR_HIGHLIGHT : COLOR_WINDOW));
      if (di->itemID != static_cast<UINT>(-1) && di->itemID < doc_.CheckListBox2.size()) {
        RECT box = {di->rcItem.left + 2, di->rcItem.top + 2, di->rcItem.left + 15, di->rcItem.top + 15};
        UINT state = DFCS_BUTTONCHECK | DFCS_FLAT | (doc_.CheckListBox2[di->itemID].checked ? DFCS_CHECKED : 0);
        DrawFrameControl(di->hDC, &box, DFC_BUTTON, state);
        std::string text = listText(di->hwndItem, static_cast<int>(di->itemID));
        SetBkMode(di->hDC, TRANSPARENT);
        SetTextColor(di->hDC, GetSysColor(chosen ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        RECT r = di->rcItem;
        r.left += 20;
        DrawTextA(di->hDC, text.c_str(), -1, &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
      }
      if (di->itemState & ODS_FOCUS) DrawFocusRect(di->hDC, &di->rcItem);
      return TRUE;
    }
    case WM_MOUSEMOVE:
      if (dragging_) dragMove();
      return 0;
    case WM_LBUTTONUP:
      if (dragging_) drop();
      return 0;
    case WM_SETCURSOR:
      if (dragging_) return TRUE;
      break;
    case WM_CAPTURECHANGED:
      if (dragging_ && reinterpret_cast<HWND>(lp) != hwnd_) endDrag();
      return 0;
    case WM_DROPFILES: filesDropped(reinterpret_cast<HDROP>(wp)); return 0;
    default: break;
  }
  return DefWindowProcA(hwnd_, msg, wp, lp);
}

LRESULT CALLBACK ComponentsPageImpl::pageProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* self = static_cast<ComponentsPageImpl*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
    self->hwnd_ = h;
    SetWindowLongPtrA(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<ComponentsPageImpl*>(GetWindowLongPtrA(h, GWLP_USERDATA));
  return self ? self->handle(msg, wp, lp) : DefWindowProcA(h, msg, wp, lp);
}

// The trees pass dropped files on to the page, and keep Enter and Escape
// for their label editors inside a dialog-like window.
LRESULT CALLBACK ComponentsPageImpl::treeProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  WNDPROC old = reinterpret_cast<WNDPROC>(GetPropA(h, "TwOldProc"));
  if (msg == WM_DROPFILES) return SendMessageA(GetParent(h), msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
    RemovePropA(h, "TwOldProc");
  }
  return CallWindowProcA(old, h, msg, wp, lp);
}

// A click on an entry's check box, or Space, ticks the entry.
LRESULT CALLBACK ComponentsPageImpl::listProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  WNDPROC old = reinterpret_cast<WNDPROC>(GetPropA(h, "TwOldProc"));
  auto* self = reinterpret_cast<ComponentsPageImpl*>(GetWindowLongPtrA(GetParent(h), GWLP_USERDATA));
  if (self && msg == WM_LBUTTONDOWN && static_cast<short>(LOWORD(lp)) < 18) {
    LRESULT hit = SendMessageA(h, LB_ITEMFROMPOINT, 0, lp);
    if (!HIWORD(hit)) self->toggleShortcut(LOWORD(hit));
  } else if (self && msg == WM_KEYDOWN && wp == VK_SPACE) {
    self->toggleShortcut(static_cast<int>(SendMessageA(h, LB_GETCURSEL, 0, 0)));
    return 0;
  } else if (msg == WM_NCDESTROY) {
    SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
    RemovePropA(h, "TwOldProc");
  }
  return CallWindowProcA(old, h, msg, wp, lp);
}

// ---- The page's face ----------------------------------------------------------------

ComponentsPage::ComponentsPage() : impl_(nullptr) {}
ComponentsPage::~ComponentsPage() { delete impl_; }

bool ComponentsPage::create(HWND mainWindow, HINSTANCE instance, HFONT font, const RECT& area, const Scale& scale,
                            ProjectDocument& doc, const LanguageTexts& language) {
  impl_ = new ComponentsPageImpl(doc, language);
  return impl_->create(mainWindow, instance, font, area, scale);
}

HWND ComponentsPage::window() const { return impl_ ? impl_->hwnd_ : nullptr; }

void ComponentsPage::show(bool visible) {
  if (impl_) ShowWindow(impl_->hwnd_, visible ? SW_SHOW : SW_HIDE);
}

void ComponentsPage::showDocument() {
  if (impl_) impl_->showDocument();
}

void ComponentsPage::commitPending() {
  if (impl_) impl_->commitDescription();
}

}  // namespace tw
