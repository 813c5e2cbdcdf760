// TAppForm: the builder's main window with the Projekt and Installation
// pages, the open and save commands and the create button. The window only
// shows the ProjectDocument and forwards edits to it; the rules live in the
// portable project and appearance code, the build in the build worker.
#include "builder/window/main_form.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "builder/appearance/background_rules.h"
#include "builder/package/build_checks.h"
#include "builder/package/profile_writer.h"
#include "builder/language_library.h"
#include "builder/package_assembly.h"
#include "builder/project/last_project.h"
#include "builder/project/project_io.h"
#include "builder/win32_file_system.h"
#include "builder/window/dialogs_page.h"
#include "builder/window/components_page.h"
#include "builder/window/main_form_ids.h"
#include "builder/window/sa_popup.h"

namespace tw {
namespace {

const char kMainClass[] = "TAppForm";
const char kPageClass[] = "TTabSheet";
const UINT WM_APP_PROGRESS = WM_APP + 1;
const UINT WM_APP_MESSAGE = WM_APP + 2;
const UINT WM_APP_BUILD_DONE = WM_APP + 3;

// Design metrics: the fitting template covers 479 x 357 pixels at design.
const int kFitDesignWidth = 479;
const int kFitDesignHeight = 357;
const int kClientDesignWidth = 700;
const int kClientDesignHeight = 532;

enum Page { kPanel = 0, kProjekt = 1, kInstallation = 2, kKomponenten = 3 };

struct ControlDef {
  int page;
  int id;
  const char* cls;
  const char* text;
  DWORD style;
  int x, y, w, h;
};

const DWORD kEdit = WS_TABSTOP | ES_AUTOHSCROLL;
const DWORD kButton = WS_TABSTOP | BS_PUSHBUTTON;
const DWORD kCheck = WS_TABSTOP | BS_AUTOCHECKBOX;
const DWORD kRadio = BS_AUTORADIOBUTTON;
const DWORD kLabel = SS_LEFT;
const DWORD kCombo = WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;

// Bottom panel in client coordinates, the pages' controls in the page's.
const ControlDef kControls[] = {
    {kPanel, IDC_BtnOpenProj, "BUTTON", "Datei \xF6" "ffnen / &erstellen...", kButton, 6, 476, 170, 25},
    {kPanel, IDC_BtnSaveProj, "BUTTON", "Aktuelles Projekt &speichern", kButton, 182, 476, 180, 25},
    {kPanel, IDC_BitBtnCreate, "BUTTON", "Setup &erzeugen", kButton, 368, 476, 130, 25},
    {kPanel, IDC_BitBtn6, "BUTTON", "&Hilfe", kButton, 614, 476, 80, 25},
    {kPanel, IDC_StaticText1, "STATIC", "", kLabel | SS_ENDELLIPSIS, 6, 508, 250, 16},
    {kPanel, IDC_ProgressBar1, PROGRESS_CLASSA, "", 0, 262, 506, 380, 18},
    {kPanel, IDC_StaticText2, "STATIC", "0%", SS_RIGHT, 648, 508, 46, 16},

    {kProjekt, IDC_PaintBox1, "STATIC", "", SS_OWNERDRAW, 6, 6, 145, 413},
    {kProjekt, IDC_LabelFileName, "STATIC", "Datei&name des Installationsprojektes:", kLabel, 162, 8, 320, 16},
    {kProjekt, IDC_EditFileName, "EDIT", "", kEdit | WS_BORDER, 162, 26, 340, 22},
    {kProjekt, IDC_BitBtn1, "BUTTON", "Datei \xF6" "ffnen / erstellen", kButton, 508, 25, 160, 25},
    {kProjekt, IDC_LabelDefGen, "STATIC", "Datei&name der Ausgabedatei (Vorgabe):", kLabel, 162, 58, 320, 16},
    {kProjekt, IDC_EditDefGen, "EDIT", "", kEdit | WS_BORDER, 162, 76, 476, 22},
    {kProjekt, IDC_BitBtn3, "BUTTON", "...", kButton, 644, 75, 24, 25},
    {kProjekt, IDC_RichEdit1, "EDIT", "",
     WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 162, 110, 506, 309},

    {kInstallation, IDC_GroupApp, "BUTTON", "Applikationsinformationen", BS_GROUPBOX, 6, 4, 330, 418},
    {kInstallation, 0, "STATIC", "&Name der Anwendung:", kLabel, 16, 27, 122, 16},
    {kInstallation, IDC_EditApp, "EDIT", "", kEdit | WS_BORDER, 140, 24, 186, 22},
    {kInstallation, 0, "STATIC", "&Version:", kLabel, 16, 55, 122, 16},
    {kInstallation, IDC_EditVer, "EDIT", "", kEdit | WS_BORDER, 140, 52, 60, 22},
    {kInstallation, 0, "STATIC", ".", kLabel, 204, 55, 8, 16},
    {kInstallation, IDC_EditVer2, "EDIT", "", kEdit | WS_BORDER, 214, 52, 60, 22},
    {kInstallation, 0, "STATIC", "&Firmenname:", kLabel, 16, 83, 122, 16},
    {kInstallation, IDC_EditCompany, "EDIT", "", kEdit | WS_BORDER, 140, 80, 186, 22},
    {kInstallation, IDC_BtnCompany, "BUTTON", "Aus Re&gistry holen", kButton, 140, 106, 150, 25},
    {kInstallation, 0, "STATIC", "&Zielverzeichnis:", kLabel, 16, 141, 122, 16},
    {kInstallation, IDC_EditTargetDir, "EDIT", "", kEdit | WS_BORDER, 140, 138, 186, 22},
    {kInstallation, 0, "STATIC", "&Programmordner:", kLabel, 16, 169, 122, 16},
    {kInstallation, IDC_EditFolder, "EDIT", "", kEdit | WS_BORDER, 140, 166, 186, 22},
    {kInstallation, 0, "STATIC", "Programm a&usf\xFChren:", kLabel, 16, 197, 122, 16},
    {kInstallation, IDC_EditExe, "EDIT", "", kEdit | WS_BORDER, 140, 194, 186, 22},
    {kInstallation, IDC_BtnExe, "BUTTON", "Datei ausw\xE4hlen", kButton, 140, 220, 150, 25},
    {kInstallation, 0, "STATIC", "&Liesmich-Datei:", kLabel, 16, 255, 122, 16},
    {kInstallation, IDC_EditReadMe, "EDIT", "", kEdit | WS_BORDER, 140, 252, 156, 22},
    {kInstallation, IDC_BitBtnReadMe, "BUTTON", "...", kButton, 302, 251, 24, 25},
    {kInstallation, IDC_CheckBoxLN, "BUTTON", "Lange Dateinamen erforderlich", kCheck, 16, 290, 310, 20},
    {kInstallation, IDC_CheckBoxInst, "BUTTON", "Setup installieren", kCheck, 16, 314, 310, 20},
    {kInstallation, IDC_CheckBoxDeinst, "BUTTON", "Deinstallation installieren ", kCheck, 16, 338, 310, 20},

    {kInstallation, IDC_GroupBackground, "BUTTON", "Installationshintergrund", BS_GROUPBOX, 342, 4, 332, 418},
    {kInstallation, 0, "STATIC", "Titel:", kLabel, 352, 27, 50, 16},
    {kInstallation, IDC_RadioTitleText, "BUTTON", "&Text", kRadio | WS_GROUP | WS_TABSTOP, 406, 24, 60, 20},
    {kInstallation, IDC_RadioTitleBmp, "BUTTON", "&Bitmap", kRadio, 470, 24, 80, 20},
    {kInstallation, IDC_EditTitleBmp, "EDIT", "", kEdit | WS_BORDER | WS_GROUP, 352, 50, 250, 22},
    {kInstallation, IDC_BitBtn4, "BUTTON", "...", kButton, 608, 49, 24, 25},
    {kInstallation, IDC_LabelTitleSz, "STATIC", "H\xF6he:", kLabel, 352, 81, 40, 16},
    {kInstallation, IDC_EditTitleSz, "EDIT", "", kEdit | WS_BORDER, 396, 78, 44, 22},
    {kInstallation, IDC_CheckBox_AnimT, "BUTTON", "Animiert", kCheck, 452, 79, 100, 20},
    {kInstallation, IDC_RadioButton_LT, "BUTTON", "Lin&ks", kRadio | WS_GROUP | WS_TABSTOP, 352, 106, 72, 20},
    {kInstallation, IDC_RadioButton_ZT, "BUTTON", "&Zentriert", kRadio, 428, 106, 86, 20},
    {kInstallation, IDC_RadioButton_RT, "BUTTON", "&Rechts", kRadio, 518, 106, 80, 20},
    {kInstallation, 0, "STATIC", "&Logo:", kLabel | WS_GROUP, 352, 139, 40, 16},
    {kInstallation, IDC_EditLogo, "EDIT", "", kEdit | WS_BORDER, 396, 136, 206, 22},
    {kInstallation, IDC_BitBtn5, "BUTTON", "...", kButton, 608, 135, 24, 25},
    {kInstallation, IDC_ComboLogoAlign, "COMBOBOX", "", kCombo, 396, 164, 144, 160},
    {kInstallation, IDC_CheckBox_AnimL, "BUTTON", "Animiert", kCheck, 548, 165, 100, 20},
    {kInstallation, 0, "STATIC", "F&arbe:", kLabel, 352, 197, 40, 16},
    {kInstallation, IDC_ComboColor, "COMBOBOX", "", kCombo, 396, 194, 180, 240},
    {kInstallation, IDC_CheckBoxFullScreen, "BUTTON", "Vollbild", kCheck, 352, 224, 110, 20},
    {kInstallation, IDC_CheckBoxSizeable, "BUTTON", "Gr\xF6\xDF" "e ver\xE4nderbar", kCheck, 470, 224, 160, 20},
    {kInstallation, IDC_PaintBox2, "STATIC", "", SS_OWNERDRAW, 352, 252, 293, 129},
    {kInstallation, IDC_LabelPreview, "STATIC", "Die Breite des Vorschaufensters entspricht 640 Pixel", kLabel, 352,
     388, 316, 16},
};

const char kQuickStart[] =
    "Schnellstart\r\n\r\n"
    "1. Geben Sie oben den Dateinamen eines Installationsprojektes ein oder w\xE4hlen Sie ihn mit "
    "\"Datei \xF6" "ffnen / erstellen\". Eine neue Datei wird erst beim Speichern angelegt.\r\n\r\n"
    "2. Tragen Sie auf der Seite \"Installation\" Name, Version und Firma der Anwendung ein und "
    "gestalten Sie den Hintergrund des Setups; die Vorschau zeigt ihn verkleinert.\r\n\r\n"
    "3. Speichern Sie das Projekt (Strg+S) und erzeugen Sie das Setup mit \"Setup erzeugen\" (F9).";

// HKEY_CURRENT_USER access for the last-project memory.
class Win32Registry final : public Registry {
 public:
  bool readString(RegistryRoot, const std::string& key, const std::string& name, std::string& value) override {
    HKEY h;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, trimmed(key), 0, KEY_QUERY_VALUE, &h) != ERROR_SUCCESS) return false;
    char buffer[1024];
    DWORD type = 0, size = sizeof buffer - 1;
    LONG rc = RegQueryValueExA(h, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(h);
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
    buffer[size] = 0;
    value = buffer;
    return true;
  }
  bool writeString(RegistryRoot, const std::string& key, const std::string& name, const std::string& value) override {
    HKEY h;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, trimmed(key), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &h, nullptr) !=
        ERROR_SUCCESS)
      return false;
    LONG rc = RegSetValueExA(h, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                             static_cast<DWORD>(value.size() + 1));
    RegCloseKey(h);
    return rc == ERROR_SUCCESS;
  }

 private:
  static const char* trimmed(const std::string& key) { return key.c_str() + (key[0] == '\\' ? 1 : 0); }
};

std::string builderFolder() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string p(path, n);
  return p.substr(0, p.find_last_of('\\') + 1);
}

std::string windowText(HWND h) {
  int n = GetWindowTextLengthA(h);
  std::string s(static_cast<size_t>(n) + 1, '\0');
  GetWindowTextA(h, &s[0], n + 1);
  s.resize(static_cast<size_t>(n));
  return s;
}

bool folderExists(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

// The OK button of a file dialog shown with a non-zero mode keeps the
// label "&Erzeugen" (mode 1) or "&Setzen" whatever the dialog sets on it.
const char kOkLabelProp[] = "TwOkLabel";
const char kOkProcProp[] = "TwOkProc";

LRESULT CALLBACK okButtonProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  WNDPROC old = reinterpret_cast<WNDPROC>(GetPropA(h, kOkProcProp));
  if (msg == WM_SETTEXT) {
    const char* label = static_cast<const char*>(GetPropA(h, kOkLabelProp));
    if (label) lp = reinterpret_cast<LPARAM>(label);
  } else if (msg == WM_NCDESTROY) {
    SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
    RemovePropA(h, kOkProcProp);
    RemovePropA(h, kOkLabelProp);
  }
  return CallWindowProcA(old, h, msg, wp, lp);
}

UINT_PTR CALLBACK fileDialogHook(HWND hdlg, UINT msg, WPARAM, LPARAM lp) {
  if (msg == WM_INITDIALOG) {
    const auto* ofn = reinterpret_cast<const OPENFILENAMEA*>(lp);
    const char* label = ofn->lCustData == 1 ? "&Erzeugen" : "&Setzen";
    HWND ok = GetDlgItem(GetParent(hdlg), IDOK);
    if (ok) {
      SetPropA(ok, kOkLabelProp, const_cast<char*>(label));
      SetPropA(ok, kOkProcProp, reinterpret_cast<HANDLE>(GetWindowLongPtrA(ok, GWLP_WNDPROC)));
      SetWindowLongPtrA(ok, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(okButtonProc));
      SetWindowTextA(ok, label);
    }
  }
  return 0;
}

struct FileDialog {
  const char* title = nullptr;
  const char* filter = nullptr;  // pairs separated by '|'
  const char* defaultExtension = nullptr;
  int filterIndex = 1;
  std::string initialFolder;
  std::string name;  // proposed, then chosen
  DWORD options = 0;
  int mode = 0;  // non-zero: the OK button is relabelled
};

bool showFileDialog(HWND owner, FileDialog& d, bool save) {
  std::string filter = d.filter;
  for (char& c : filter)
    if (c == '|') c = '\0';
  filter.push_back('\0');
  char file[MAX_PATH * 2] = {};
  lstrcpynA(file, d.name.c_str(), sizeof file);
  OPENFILENAMEA ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = static_cast<DWORD>(d.filterIndex);
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
  ofn.lpstrTitle = d.title;
  ofn.lpstrDefExt = d.defaultExtension;
  ofn.lpstrInitialDir = d.initialFolder.empty() ? nullptr : d.initialFolder.c_str();
  ofn.Flags = d.options | OFN_EXPLORER | OFN_NOCHANGEDIR;
  if (d.mode != 0) {
    ofn.Flags |= OFN_ENABLEHOOK;
    ofn.lpfnHook = fileDialogHook;
    ofn.lCustData = d.mode;
  }
  BOOL ok = save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
  if (!ok) return false;
  d.name = file;
  return true;
}

// Progress and messages of the build worker, handed to the window's thread.
struct ProgressNote {
  bool hasText = false;
  std::string text;
  int percent = 0;
};
struct MessageNote {
  std::string text;
  std::string caption;
  MessageIcon icon = MessageIcon::Information;
};

class WindowReporter final : public BuildReporter {
 public:
  explicit WindowReporter(HWND window) : window_(window) {}
  void progress(const std::string* text, int percent) override {
    auto* note = new ProgressNote;
    note->hasText = text != nullptr;
    if (text) note->text = *text;
    note->percent = percent;
    if (!PostMessageA(window_, WM_APP_PROGRESS, 0, reinterpret_cast<LPARAM>(note))) delete note;
  }
  // The box belongs to the window's thread; the worker waits for it.
  void message(const std::string& text, const std::string& caption, MessageIcon icon) override {
    MessageNote note{text, caption, icon};
    SendMessageA(window_, WM_APP_MESSAGE, 0, reinterpret_cast<LPARAM>(&note));
  }

 private:
  HWND window_;
};

class TAppForm {
 public:
  explicit TAppForm(HINSTANCE instance) : instance_(instance), folder_(builderFolder()) {}
  bool create(const std::string& projectArgument);
  HWND handle() const { return hwnd_; }
  HACCEL accelerators() const { return accel_; }

  static LRESULT CALLBACK windowProc(HWND h, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK pageProc(HWND h, UINT msg, WPARAM wp, LPARAM lp);

 private:
  LRESULT handle(UINT msg, WPARAM wp, LPARAM lp);
  HWND item(int id) const { return GetDlgItem(parentOf(id), id); }
  HWND parentOf(int id) const;
  void fitLayout();
  void createControls();
  void fillFixedLists();
  void scanLanguages();
  void loadLanguage(const std::string& name);
  void showPage(int page);
  void showProject();
  void updateTitleMode();
  void updateLogoControls();
  void repaintPreview() { InvalidateRect(item(IDC_PaintBox2), nullptr, FALSE); }
  void command(int id, int code, HWND control);
  void editChanged(int id);
  void editLeft(int id);
  bool ConfirmDiscard();
  bool OpenCreateProject(const std::string& path, bool showInstallation);
  void BtnOpenProjClick();
  void BtnSaveProjClick();
  void BitBtnCreateClick(bool createPackage);
  void chooseFile(int buttonId);
  void BtnCompanyClick();
  void help();
  void commitPendingEdits();
  void enterPressed();
  void EnableBuildControls(bool enabled);
  POINT savedPlace();
  void savePlace();
  void buildDone();
  static DWORD WINAPI ThreadCreate(LPVOID form);
  void paintBox(const DRAWITEMSTRUCT& di);
  void drawBitmap(HDC dc, const std::string& name, int code, int W, int H);
  void showError(const std::string& text) { MessageBoxA(hwnd_, text.c_str(), kBuilderTitle, MB_OK | MB_ICONSTOP); }

  HINSTANCE instance_;
  std::string folder_;
  HWND hwnd_ = nullptr;
  HWND pages_[3] = {};
  ComponentsPage komponenten_;
  HFONT font_ = nullptr;
  HACCEL accel_ = nullptr;
  int fitWidth_ = kFitDesignWidth, fitHeight_ = kFitDesignHeight;
  ProjectDocument doc_;
  Win32FileSystem files_;
  Win32Registry registry_;
  LanguageLibrary language_;
  std::vector<LanguageEntry> modules_;
  bool projectOpen_ = false;
  bool building_ = false;
  bool heightChanged_ = false;
  bool fileNameChanged_ = false;
  std::string buildPackage_;
  std::unique_ptr<DialogsPage> dialogsPage_;
  void createDialogsPage(const RECT& area);
};

HWND TAppForm::parentOf(int id) const {
  for (const ControlDef& c : kControls)
    if (c.id == id) return c.page == kPanel ? hwnd_ : pages_[c.page];
  return hwnd_;
}

// Shows the builder's own template 199 with the system's dialog font and
// takes the size it occupies as the fitted size of the design's 479 x 357.
void TAppForm::fitLayout() {
  HWND probe = CreateDialogParamA(instance_, MAKEINTRESOURCEA(IDD_FITTING), hwnd_, nullptr, 0);
  if (!probe) return;
  RECT r;
  GetWindowRect(probe, &r);
  if (r.right - r.left > 0 && r.bottom - r.top > 0) {
    fitWidth_ = r.right - r.left;
    fitHeight_ = r.bottom - r.top;
  }
  HFONT dialogFont = reinterpret_cast<HFONT>(SendMessageA(probe, WM_GETFONT, 0, 0));
  LOGFONTA lf;
  if (dialogFont && GetObjectA(dialogFont, sizeof lf, &lf)) font_ = CreateFontIndirectA(&lf);
  DestroyWindow(probe);
}

void TAppForm::createControls() {
  auto scaled = [&](int x, int y, int w, int h) {
    return scaleDesignRect({x, y, w, h}, fitWidth_, kFitDesignWidth, fitHeight_, kFitDesignHeight);
  };
  PixelRect tab = scaled(6, 6, 688, 462);
  HWND tabs = CreateWindowExA(0, WC_TABCONTROLA, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP, tab.x,
                              tab.y, tab.width, tab.height, hwnd_,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_PageControl1)), instance_, nullptr);
  SendMessageA(tabs, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  TCITEMA ti = {};
  ti.mask = TCIF_TEXT;
  ti.pszText = const_cast<char*>("Projekt");
  SendMessageA(tabs, TCM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ti));
  RECT area = {0, 0, tab.width, tab.height};
  SendMessageA(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
  const int pageIds[3] = {0, IDC_PageProjekt, IDC_PageInstallation};
  for (int p = kProjekt; p <= kInstallation; ++p)
    pages_[p] = CreateWindowExA(WS_EX_CONTROLPARENT, kPageClass, "", WS_CHILD | WS_CLIPSIBLINGS, tab.x + area.left,
                                tab.y + area.top, area.right - area.left, area.bottom - area.top, hwnd_,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(pageIds[p])), instance_, this);
  RECT pageArea = {tab.x + area.left, tab.y + area.top, tab.x + area.right, tab.y + area.bottom};
  komponenten_.create(hwnd_, instance_, font_, pageArea, scaled, doc_, language_);
  SetWindowPos(tabs, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  for (const ControlDef& c : kControls) {
    PixelRect r = scaled(c.x, c.y, c.w, c.h);
    HWND parent = c.page == kPanel ? hwnd_ : pages_[c.page];
    DWORD exStyle = (c.style & WS_BORDER) && std::string(c.cls) == "EDIT" ? WS_EX_CLIENTEDGE : 0;
    DWORD style = (c.style & ~(exStyle ? WS_BORDER : 0)) | WS_CHILD | WS_VISIBLE;
    HWND h = CreateWindowExA(exStyle, c.cls, c.text, style, r.x, r.y, r.width, r.height, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id ? c.id : 0xFFFF)), instance_, nullptr);
    SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  }
  for (int id : {IDC_EditTargetDir, IDC_EditExe, IDC_EditReadMe}) aliasMenu().attach(item(id));
  SendMessageA(item(IDC_ProgressBar1), PBM_SETRANGE32, 0, 100);
  SetWindowTextA(item(IDC_RichEdit1), kQuickStart);
  createDialogsPage({tab.x + area.left, tab.y + area.top, tab.x + area.right, tab.y + area.bottom});
}

// The Dialoge page lives in dialogs_page.cpp; the window gives it the
// document, the language module and the shared file choice.
void TAppForm::createDialogsPage(const RECT& area) {
  auto scaled = [this](int x, int y, int w, int h) {
    PixelRect r = scaleDesignRect({x, y, w, h}, fitWidth_, kFitDesignWidth, fitHeight_, kFitDesignHeight);
    return RECT{r.x, r.y, r.x + r.width, r.y + r.height};
  };
  auto choose = [this](bool bitmap, const std::string& current, std::string& chosen) {
    FileDialog d;
    d.options = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_ENABLESIZING;
    if (bitmap) {
      d.title = "Bitmapdatei ausw\xE4hlen (max. 256 Farben)";
      d.filter = "BMP - Bitmap|*.bmp";
    } else {
      d.title = "Textdatei ausw\xE4hlen";
      d.filter = "Alle Dateien|*.*|TXT - Textdateien|*.txt";
      d.filterIndex = 2;
    }
    d.name = current.empty() ? current : resolveAgainstProject(doc_.ProjectPath, current);
    if (!showFileDialog(hwnd_, d, false)) return false;
    chosen = relativeToProject(doc_.ProjectPath, d.name);
    return true;
  };
  dialogsPage_.reset(new DialogsPage(instance_, {doc_, language_, modules_, folder_, font_, scaled, choose}));
  dialogsPage_->create(hwnd_, area);
}

void TAppForm::fillFixedLists() {
  for (const char* name : kLogoPlacementNames)
    SendMessageA(item(IDC_ComboLogoAlign), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
  for (const char* name : kColourSchemeNames)
    SendMessageA(item(IDC_ComboColor), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
}

void TAppForm::scanLanguages() { modules_ = scanLanguageModules(folder_ + "language\\"); }

void TAppForm::loadLanguage(const std::string& name) {
  const LanguageEntry* chosen = nullptr;
  for (const LanguageEntry& m : modules_)
    if (lstrcmpiA(m.name.c_str(), name.c_str()) == 0) chosen = &m;
  if (!chosen && !modules_.empty()) chosen = &modules_.front();
  if (chosen) language_.load(folder_ + "language\\" + chosen->file);
}

// The window's place is kept beside "LastProject" as "left,top"; a place
// that would leave the caption off the work area is not used.
const char kWindowPlaceValue[] = "WindowPlace";

POINT TAppForm::savedPlace() {
  POINT p = {40, 20};
  std::string text;
  if (!registry_.readString(RegistryRoot::CurrentUser, kBuilderSettingsKey, kWindowPlaceValue, text)) return p;
  int x = 0, y = 0;
  char comma = 0;
  if (sscanf(text.c_str(), "%d%c%d", &x, &comma, &y) != 3 || comma != ',') return p;
  RECT work;
  if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0)) return p;
  if (x < work.left - 50 || x > work.right - 100 || y < work.top || y > work.bottom - 50) return p;
  return {x, y};
}

void TAppForm::savePlace() {
  RECT r;
  if (IsIconic(hwnd_) || !GetWindowRect(hwnd_, &r)) return;
  char text[32];
  wsprintfA(text, "%d,%d", static_cast<int>(r.left), static_cast<int>(r.top));
  registry_.writeString(RegistryRoot::CurrentUser, kBuilderSettingsKey, kWindowPlaceValue, text);
}

bool TAppForm::create(const std::string& projectArgument) {
  hwnd_ = CreateWindowExA(WS_EX_CONTROLPARENT, kMainClass, "Brakmoor Tamblewright",
                          WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN, CW_USEDEFAULT,
                          CW_USEDEFAULT, 100, 100, nullptr, nullptr, instance_, this);
  if (!hwnd_) return false;
  fitLayout();
  if (!font_) font_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  PixelRect client = scaleDesignRect({0, 0, kClientDesignWidth, kClientDesignHeight}, fitWidth_, kFitDesignWidth,
                                     fitHeight_, kFitDesignHeight);
  RECT frame = {0, 0, client.width, client.height};
  AdjustWindowRectEx(&frame, GetWindowLongA(hwnd_, GWL_STYLE), FALSE, GetWindowLongA(hwnd_, GWL_EXSTYLE));
  POINT place = savedPlace();
  int width = frame.right - frame.left, height = frame.bottom - frame.top;
  RECT work;
  if (SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0)) {  // the whole window on the screen where it fits
    if (place.x + width > work.right) place.x = work.right - width > work.left ? work.right - width : work.left;
    if (place.y + height > work.bottom) place.y = work.bottom - height > work.top ? work.bottom - height : work.top;
  }
  SetWindowPos(hwnd_, nullptr, place.x, place.y, width, height, SWP_NOZORDER);
  createControls();
  fillFixedLists();
  scanLanguages();
  loadLanguage(modules_.empty() ? std::string() : modules_.front().name);
  if (!modules_.empty()) doc_.ComboLanguage = modules_.front().name;
  doc_.ClearTrees(true, language_);
  doc_.NextComponentId = 1;
  doc_.Modified = false;
  EnableWindow(item(IDC_BtnSaveProj), FALSE);
  EnableWindow(item(IDC_BitBtnCreate), FALSE);
  EnableWindow(item(IDC_EditDefGen), FALSE);
  EnableWindow(item(IDC_BitBtn3), FALSE);
  showProject();
  showPage(kProjekt);
  std::string first = projectArgument.empty() ? readLastProject(registry_, files_) : projectArgument;
  if (!first.empty()) OpenCreateProject(first, true);

  ACCEL keys[] = {{FCONTROL | FVIRTKEY, 'O', IDC_BtnOpenProj},
                  {FCONTROL | FVIRTKEY, 'S', IDC_BtnSaveProj},
                  {FVIRTKEY, VK_F9, IDC_BitBtnCreate}};
  accel_ = CreateAcceleratorTableA(keys, 3);
  ShowWindow(hwnd_, SW_SHOW);
  UpdateWindow(hwnd_);
  if (!projectOpen_) SetFocus(item(IDC_EditFileName));  // the first thing to do is name a project
  return true;
}

void TAppForm::showPage(int page) {
  HWND tabs = GetDlgItem(hwnd_, IDC_PageControl1);
  if (page != kProjekt && !projectOpen_) page = kProjekt;
  SendMessageA(tabs, TCM_SETCURSEL, static_cast<WPARAM>(page - 1), 0);
  for (int p = kProjekt; p <= kInstallation; ++p) ShowWindow(pages_[p], p == page ? SW_SHOW : SW_HIDE);
  if (dialogsPage_) dialogsPage_->show(false);
  komponenten_.show(page == kKomponenten);
  if (page == kInstallation) repaintPreview();
}

// Fills every control from the document; the change handlers stay silent.
void TAppForm::showProject() {
  doc_.UpdateGuard = true;
  struct {
    int id;
    const std::string* text;
  } edits[] = {{IDC_EditFileName, &doc_.ProjectPath}, {IDC_EditDefGen, &doc_.EditDefGen},
               {IDC_EditApp, &doc_.EditApp},          {IDC_EditVer, &doc_.EditVer},
               {IDC_EditVer2, &doc_.EditVer2},        {IDC_EditCompany, &doc_.EditCompany},
               {IDC_EditTargetDir, &doc_.EditTargetDir}, {IDC_EditFolder, &doc_.EditFolder},
               {IDC_EditExe, &doc_.EditExe},          {IDC_EditReadMe, &doc_.EditReadMe},
               {IDC_EditTitleBmp, &doc_.EditTitleBmp}, {IDC_EditTitleSz, &doc_.EditTitleSz},
               {IDC_EditLogo, &doc_.EditLogo}};
  for (const auto& e : edits) SetWindowTextA(item(e.id), e.text->c_str());
  struct {
    int id;
    bool value;
  } checks[] = {{IDC_CheckBoxLN, doc_.CheckBoxLN},
                {IDC_CheckBoxInst, doc_.CheckBoxInst},
                {IDC_CheckBoxDeinst, doc_.CheckBoxDeinst},
                {IDC_CheckBox_AnimT, doc_.CheckBox_AnimT},
                {IDC_CheckBox_AnimL, doc_.CheckBox_AnimL},
                {IDC_CheckBoxFullScreen, doc_.CheckBoxFullScreen},
                {IDC_CheckBoxSizeable, doc_.CheckBoxSizeable},
                {IDC_RadioTitleText, doc_.RadioTitleText},
                {IDC_RadioTitleBmp, !doc_.RadioTitleText},
                {IDC_RadioButton_LT, doc_.TitleAlign == TitleAlignment::Left},
                {IDC_RadioButton_ZT, doc_.TitleAlign == TitleAlignment::Centred},
                {IDC_RadioButton_RT, doc_.TitleAlign == TitleAlignment::Right}};
  for (const auto& c : checks) SendMessageA(item(c.id), BM_SETCHECK, c.value ? BST_CHECKED : BST_UNCHECKED, 0);
  // An index outside the list shows no entry; the preview paints it teal.
  auto choose = [&](int id, int index, int count) {
    SendMessageA(item(id), CB_SETCURSEL, index >= 0 && index < count ? static_cast<WPARAM>(index) : WPARAM(-1), 0);
  };
  choose(IDC_ComboLogoAlign, doc_.ComboLogoAlign, 5);
  choose(IDC_ComboColor, doc_.ComboColor, kColourSchemeCount);
  updateTitleMode();
  updateLogoControls();
  doc_.UpdateGuard = false;
  heightChanged_ = fileNameChanged_ = false;
  repaintPreview();
  if (dialogsPage_) dialogsPage_->showProject();
}

void TAppForm::updateTitleMode() {
  bool text = doc_.RadioTitleText;
  ShowWindow(item(IDC_BitBtn4), text ? SW_HIDE : SW_SHOW);
  ShowWindow(item(IDC_EditTitleSz), text ? SW_SHOW : SW_HIDE);
  ShowWindow(item(IDC_LabelTitleSz), text ? SW_SHOW : SW_HIDE);
  EnableWindow(item(IDC_CheckBox_AnimT), !text);
}

void TAppForm::updateLogoControls() {
  bool any = !doc_.EditLogo.empty();
  EnableWindow(item(IDC_ComboLogoAlign), any);
  EnableWindow(item(IDC_CheckBox_AnimL), any);
}

bool TAppForm::ConfirmDiscard() {
  return MessageBoxA(hwnd_, "Alle \xC4nderungen in der aktuellen Sitzung gehen verloren!", "Datei \xF6" "ffnen",
                     MB_OKCANCEL | MB_ICONEXCLAMATION) == IDOK;
}

bool TAppForm::OpenCreateProject(const std::string& path, bool showInstallation) {
  std::vector<std::string> names;
  for (const LanguageEntry& m : modules_) names.push_back(m.name);
  ProjectContext context{files_, language_, names};
  HCURSOR previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
  ProjectStatus status = tw::OpenCreateProject(context, path, doc_);
  SetCursor(previous);
  if (!status.ok() && status.error != ProjectError::NotAProject) {
    showError(status.message());
    return false;
  }
  if (!projectOpen_) {
    projectOpen_ = true;
    HWND tabs = GetDlgItem(hwnd_, IDC_PageControl1);
    TCITEMA ti = {};
    ti.mask = TCIF_TEXT;
    ti.pszText = const_cast<char*>("Installation");
    SendMessageA(tabs, TCM_INSERTITEMA, 1, reinterpret_cast<LPARAM>(&ti));
    ti.pszText = const_cast<char*>("Komponenten");
    SendMessageA(tabs, TCM_INSERTITEMA, 2, reinterpret_cast<LPARAM>(&ti));
    ti.pszText = const_cast<char*>("Dialoge");
    SendMessageA(tabs, TCM_INSERTITEMA, SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0), reinterpret_cast<LPARAM>(&ti));
    EnableWindow(item(IDC_BtnSaveProj), TRUE);
    EnableWindow(item(IDC_BitBtnCreate), TRUE);
    EnableWindow(item(IDC_EditDefGen), TRUE);
    EnableWindow(item(IDC_BitBtn3), TRUE);
  }
  loadLanguage(doc_.ComboLanguage);
  showProject();
  komponenten_.showDocument();
  if (showInstallation) showPage(kInstallation);
  SetWindowTextA(hwnd_, doc_.windowCaption().c_str());
  return true;
}

void TAppForm::BtnOpenProjClick() {
  if (doc_.Modified && !ConfirmDiscard()) return;
  FileDialog d;
  d.filter = "TBW - Tamblewright|*.tbw";
  d.defaultExtension = "tbw";
  d.name = doc_.ProjectPath;
  d.options = OFN_HIDEREADONLY | OFN_CREATEPROMPT | OFN_ENABLESIZING;
  if (!showFileDialog(hwnd_, d, false)) return;
  doc_.EditDefGen.clear();
  OpenCreateProject(d.name, files_.fileExists(d.name));
}

// The fields whose rules apply on leaving them, as if they were left now.
void TAppForm::commitPendingEdits() {
  komponenten_.commitPending();
  if (heightChanged_) editLeft(IDC_EditTitleSz);
}

void TAppForm::BtnSaveProjClick() {
  commitPendingEdits();
  FileDialog d;
  d.title = "Projekt speichern unter";
  d.filter = "TBW - Tamblewright|*.tbw";
  d.defaultExtension = "tbw";
  d.name = doc_.ProjectPath;
  d.options = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_CREATEPROMPT;
  if (!showFileDialog(hwnd_, d, true)) return;
  HCURSOR previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
  ProjectStatus status = saveProjectAs(files_, d.name, doc_);
  SetCursor(previous);
  doc_.UpdateGuard = true;
  SetWindowTextA(item(IDC_EditFileName), doc_.ProjectPath.c_str());
  doc_.UpdateGuard = false;
  fileNameChanged_ = false;
  if (!status.ok()) showError(status.message());
}

void TAppForm::EnableBuildControls(bool enabled) {
  const int ids[] = {IDC_PageControl1, IDC_BtnOpenProj, IDC_BtnSaveProj, IDC_BitBtnCreate};
  for (int id : ids) EnableWindow(item(id), enabled);
  for (int p = kProjekt; p <= kInstallation; ++p) EnableWindow(pages_[p], enabled);
  if (dialogsPage_) EnableWindow(dialogsPage_->handle(), enabled);
  EnableWindow(komponenten_.window(), enabled);
}

void TAppForm::BitBtnCreateClick(bool createPackage) {
  commitPendingEdits();
  FileDialog d;
  d.filter = "Ausf\xFChrbare Dateien|*.exe";
  d.defaultExtension = "exe";
  if (createPackage) {
    if (auto problem = checkRequiredFields(doc_)) {
      MessageBoxA(hwnd_, problem->c_str(), kBuilderTitle, MB_OK | MB_ICONEXCLAMATION);
      return;
    }
    d.title = "Installationsprogram erzeugen";
    d.mode = 1;
    d.options = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_CREATEPROMPT;
    d.name = proposedPackagePath(doc_, files_);
  } else {
    d.title = "Ausgabepfad w\xE4hlen";
    d.mode = 2;
    d.options = OFN_HIDEREADONLY;
    d.name = !doc_.EditDefGen.empty() && folderExists(folderOfPath(doc_.EditDefGen)) ? doc_.EditDefGen
                                                                                     : derivedPackagePath(doc_);
  }
  if (!showFileDialog(hwnd_, d, true)) return;
  if (!createPackage) {
    doc_.EditDefGen = d.name;
    doc_.UpdateGuard = true;
    SetWindowTextA(item(IDC_EditDefGen), d.name.c_str());
    doc_.UpdateGuard = false;
    doc_.Modified = true;
    return;
  }
  doc_.LastPackagePath = d.name;
  buildPackage_ = d.name;
  if (!language_.loaded()) {
    MessageBoxA(hwnd_, "Kein Sprachmodul ausgew\xE4hlt (Dialogseite)!", kBuilderTitle, MB_OK | MB_ICONSTOP);
    return;
  }
  building_ = true;
  EnableBuildControls(false);
  HANDLE thread = CreateThread(nullptr, 0, ThreadCreate, this, 0, nullptr);
  if (thread) {
    CloseHandle(thread);
  } else {
    showError("Der Erzeugungsvorgang konnte nicht gestartet werden.");
    buildDone();
  }
}

// The build worker: the same build as "Tamblix.exe /build". It reads the
// document while the window keeps every editing control disabled, and
// reaches the controls only through messages to the window's thread.
DWORD WINAPI TAppForm::ThreadCreate(LPVOID param) {
  auto* form = static_cast<TAppForm*>(param);
  WindowReporter reporter(form->hwnd_);
  Win32FileSystem files;
  BuildEnvironment env{form->folder_, form->language_, files};
  runBuild(form->doc_, env, reporter, form->buildPackage_);
  PostMessageA(form->hwnd_, WM_APP_BUILD_DONE, 0, 0);
  return 0;
}

void TAppForm::buildDone() {
  building_ = false;
  SetWindowTextA(item(IDC_StaticText1), "");
  SetWindowTextA(item(IDC_StaticText2), "0%");
  SendMessageA(item(IDC_ProgressBar1), PBM_SETPOS, 0, 0);
  EnableBuildControls(true);
  POINT p;
  if (GetCursorPos(&p)) SetCursorPos(p.x + 1, p.y);  // refreshes the cursor shape at once
}

void TAppForm::chooseFile(int buttonId) {
  int editId = 0;
  bool bitmap = true, readMe = false, program = false;
  switch (buttonId) {
    case IDC_BitBtn4: editId = IDC_EditTitleBmp; break;
    case IDC_BitBtn5: editId = IDC_EditLogo; break;
    case IDC_BitBtnReadMe: editId = IDC_EditReadMe; bitmap = false; readMe = true; break;
    case IDC_BtnExe: editId = IDC_EditExe; bitmap = false; program = true; break;
    default: return;
  }
  FileDialog d;
  d.options = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_ENABLESIZING;
  std::string current = windowText(item(editId));
  if (program) {
    d.title = "Ausf\xFChrbare Datei w\xE4hlen";
    d.filter = "Ausf\xFChrbare Dateien|*.exe;*.com;*.bat";
    d.initialFolder = doc_.DefSrcPathValue;
  } else if (bitmap) {
    d.title = "Bitmapdatei ausw\xE4hlen (max. 256 Farben)";
    d.filter = "BMP - Bitmap|*.bmp";
    d.name = current.empty() ? current : resolveAgainstProject(doc_.ProjectPath, current);
  } else {
    d.title = "Textdatei ausw\xE4hlen";
    d.filter = "Alle Dateien|*.*|TXT - Textdateien|*.txt";
    d.filterIndex = 2;
    d.initialFolder = doc_.DefSrcPathValue;
    d.name = fileNameOfPath(current);
  }
  if (!showFileDialog(hwnd_, d, false)) return;
  std::string result =
      readMe || program ? componentRelativeName(doc_, d.name) : relativeToProject(doc_.ProjectPath, d.name);
  SetWindowTextA(item(editId), result.c_str());  // the change handler updates the document
  doc_.Modified = true;
  repaintPreview();
}

void TAppForm::BtnCompanyClick() {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\MS Setup (ACME)\\User Info", 0, KEY_QUERY_VALUE,
                    &key) != ERROR_SUCCESS)
    return;
  char buffer[512] = {};
  DWORD type = 0, size = sizeof buffer - 1;
  if (RegQueryValueExA(key, "DefCompany", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS ||
      type != REG_SZ)
    buffer[0] = 0;
  RegCloseKey(key);
  SetWindowTextA(item(IDC_EditCompany), buffer);
  doc_.Modified = true;
}

void TAppForm::help() {
  HWND tabs = GetDlgItem(hwnd_, IDC_PageControl1);
  int page = static_cast<int>(SendMessageA(tabs, TCM_GETCURSEL, 0, 0));
  const char* file = page == 1 ? "install.htm" : "project.htm";
  std::string html = folder_ + "html\\";
  ShellExecuteA(hwnd_, "open", (html + file).c_str(), nullptr, html.c_str(), SW_SHOWNORMAL);
}

void TAppForm::editChanged(int id) {
  if (doc_.UpdateGuard) return;
  std::string text = windowText(item(id));
  switch (id) {
    case IDC_EditFileName: fileNameChanged_ = true; return;  // acted on when left or on Enter
    case IDC_EditDefGen: doc_.EditDefGen = text; break;
    case IDC_EditApp: doc_.EditApp = text; break;
    case IDC_EditVer: doc_.EditVer = text; break;
    case IDC_EditVer2: doc_.EditVer2 = text; break;
    case IDC_EditCompany: doc_.EditCompany = text; break;
    case IDC_EditTargetDir: doc_.EditTargetDir = text; break;
    case IDC_EditFolder: doc_.EditFolder = text; break;
    case IDC_EditExe: doc_.EditExe = text; break;
    case IDC_EditReadMe: doc_.EditReadMe = text; break;
    case IDC_EditTitleBmp: doc_.EditTitleBmp = text; break;
    case IDC_EditTitleSz: {
      std::string digits = titleHeightDigits(text);
      if (digits != text) {
        doc_.UpdateGuard = true;
        SetWindowTextA(item(id), digits.c_str());
        SendMessageA(item(id), EM_SETSEL, digits.size(), digits.size());
        doc_.UpdateGuard = false;
      }
      doc_.EditTitleSz = digits;
      heightChanged_ = true;
      break;
    }
    case IDC_EditLogo:
      doc_.EditLogo = text;
      updateLogoControls();
      break;
    default: return;
  }
  doc_.Modified = true;
}

void TAppForm::editLeft(int id) {
  if (id == IDC_EditTitleSz && heightChanged_) {
    heightChanged_ = false;
    std::string fixed = normalisedTitleHeight(doc_.EditTitleSz);
    if (fixed != doc_.EditTitleSz) {
      doc_.EditTitleSz = fixed;
      doc_.UpdateGuard = true;
      SetWindowTextA(item(id), fixed.c_str());
      doc_.UpdateGuard = false;
    }
    repaintPreview();
  } else if (id == IDC_EditTitleBmp) {
    repaintPreview();
  } else if (id == IDC_EditFileName && fileNameChanged_) {
    fileNameChanged_ = false;
    std::string text = windowText(item(id));
    if (!text.empty()) {
      OpenCreateProject(text, false);
    } else {
      doc_.UpdateGuard = true;
      SetWindowTextA(item(id), doc_.ProjectPath.c_str());
      doc_.UpdateGuard = false;
      SendMessageA(item(id), EM_SETSEL, 0, -1);
    }
  }
}

// Enter in a field: the project name opens, the output name shows the
// Installation page, the title, height and logo fields repaint the preview.
void TAppForm::enterPressed() {
  HWND focus = GetFocus();
  int id = focus ? GetDlgCtrlID(focus) : 0;
  if (id == IDC_EditFileName) {
    fileNameChanged_ = true;
    editLeft(id);
  } else if (id == IDC_EditDefGen) {
    showPage(kInstallation);
  } else if (id == IDC_EditTitleBmp || id == IDC_EditTitleSz || id == IDC_EditLogo) {
    editLeft(id);
    SendMessageA(focus, EM_SETSEL, 0, -1);
    repaintPreview();
  } else if (dialogsPage_) {
    dialogsPage_->enterPressed(focus);
  }
}

void TAppForm::command(int id, int code, HWND control) {
  if (id == IDOK && !control) {
    enterPressed();
    return;
  }
  if (id == IDCANCEL && !control) {
    if (dialogsPage_) dialogsPage_->escapePressed();
    return;
  }
  if (control) {
    char cls[16] = {};
    GetClassNameA(control, cls, sizeof cls);
    if (lstrcmpiA(cls, "Edit") == 0) {
      if (code == EN_CHANGE) editChanged(id);
      else if (code == EN_KILLFOCUS) editLeft(id);
      return;
    }
    if (lstrcmpiA(cls, "ComboBox") == 0) {
      if (code != CBN_SELCHANGE || doc_.UpdateGuard) return;
      int index = static_cast<int>(SendMessageA(control, CB_GETCURSEL, 0, 0));
      if (index < 0) return;
      if (id == IDC_ComboColor) doc_.ComboColor = index;
      else doc_.ComboLogoAlign = index;
      doc_.Modified = true;
      repaintPreview();
      return;
    }
  }
  if (code != BN_CLICKED && control) return;
  if (building_) return;
  bool checked = control && SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
  switch (id) {
    case IDC_BtnOpenProj:
    case IDC_BitBtn1: BtnOpenProjClick(); return;
    case IDC_BtnSaveProj:
      if (projectOpen_) BtnSaveProjClick();
      return;
    case IDC_BitBtnCreate:
      if (projectOpen_) BitBtnCreateClick(true);
      return;
    case IDC_BitBtn3: BitBtnCreateClick(false); return;
    case IDC_BitBtn6: help(); return;
    case IDC_BtnCompany: BtnCompanyClick(); return;
    case IDC_BitBtn4:
    case IDC_BitBtn5:
    case IDC_BitBtnReadMe:
    case IDC_BtnExe: chooseFile(id); return;
    case IDC_RadioTitleText:
    case IDC_RadioTitleBmp:
      if (doc_.UpdateGuard || !checked) return;
      if (switchTitleMode(doc_, id == IDC_RadioTitleText)) {
        doc_.UpdateGuard = true;
        SetWindowTextA(item(IDC_EditTitleBmp), doc_.EditTitleBmp.c_str());
        doc_.UpdateGuard = false;
        doc_.Modified = true;
      }
      updateTitleMode();
      repaintPreview();
      return;
    case IDC_RadioButton_LT:
    case IDC_RadioButton_ZT:
    case IDC_RadioButton_RT:
      if (doc_.UpdateGuard || !checked) return;
      doc_.TitleAlign = id == IDC_RadioButton_LT   ? TitleAlignment::Left
                        : id == IDC_RadioButton_ZT ? TitleAlignment::Centred
                                                   : TitleAlignment::Right;
      doc_.Modified = true;
      repaintPreview();
      return;
    default: break;
  }
  bool* box = nullptr;
  switch (id) {
    case IDC_CheckBoxLN: box = &doc_.CheckBoxLN; break;
    case IDC_CheckBoxInst: box = &doc_.CheckBoxInst; break;
    case IDC_CheckBoxDeinst: box = &doc_.CheckBoxDeinst; break;
    case IDC_CheckBox_AnimT: box = &doc_.CheckBox_AnimT; break;
    case IDC_CheckBox_AnimL: box = &doc_.CheckBox_AnimL; break;
    case IDC_CheckBoxFullScreen: box = &doc_.CheckBoxFullScreen; break;
    case IDC_CheckBoxSizeable: box = &doc_.CheckBoxSizeable; break;
    default: return;
  }
  if (doc_.UpdateGuard) return;
  *box = checked;
  doc_.Modified = true;
}

// Loads a bitmap named relative to the project, scales it by the preview's
// width and draws it with its top-left pixel's colour transparent.
void TAppForm::drawBitmap(HDC dc, const std::string& name, int code, int W, int H) {
  std::string path = resolveAgainstProject(doc_.ProjectPath, name);
  HBITMAP bmp = static_cast<HBITMAP>(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
  if (!bmp) return;
  BITMAP info;
  GetObjectA(bmp, sizeof info, &info);
  PixelRect r = placeBitmap(code, info.bmWidth, info.bmHeight, W, H);
  if (r.width > 0 && r.height > 0) {
    HDC src = CreateCompatibleDC(dc);
    HGDIOBJ oldSrc = SelectObject(src, bmp);
    HDC scaled = CreateCompatibleDC(dc);
    HBITMAP scaledBmp = CreateCompatibleBitmap(dc, r.width, r.height);
    HGDIOBJ oldScaled = SelectObject(scaled, scaledBmp);
    SetStretchBltMode(scaled, COLORONCOLOR);
    StretchBlt(scaled, 0, 0, r.width, r.height, src, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
    COLORREF transparent = GetPixel(scaled, 0, 0);
    HDC mask = CreateCompatibleDC(dc);
    HBITMAP maskBmp = CreateBitmap(r.width, r.height, 1, 1, nullptr);
    HGDIOBJ oldMask = SelectObject(mask, maskBmp);
    SetBkColor(scaled, transparent);
    BitBlt(mask, 0, 0, r.width, r.height, scaled, 0, 0, SRCCOPY);  // transparent pixels white
    COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
    COLORREF oldBk = SetBkColor(dc, RGB(255, 255, 255));
    BitBlt(dc, r.x, r.y, r.width, r.height, scaled, 0, 0, SRCINVERT);
    BitBlt(dc, r.x, r.y, r.width, r.height, mask, 0, 0, SRCAND);
    BitBlt(dc, r.x, r.y, r.width, r.height, scaled, 0, 0, SRCINVERT);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBk);
    SelectObject(mask, oldMask);
    DeleteObject(maskBmp);
    DeleteDC(mask);
    SelectObject(scaled, oldScaled);
    DeleteObject(scaledBmp);
    DeleteDC(scaled);
    SelectObject(src, oldSrc);
    DeleteDC(src);
  }
  DeleteObject(bmp);
}

void drawCentredText(HDC dc, const char* text, int width, int y, COLORREF colour) {
  SIZE s;
  GetTextExtentPoint32A(dc, text, lstrlenA(text), &s);
  SetTextColor(dc, colour);
  TextOutA(dc, (width - s.cx) / 2, y, text, lstrlenA(text));
}

void TAppForm::paintBox(const DRAWITEMSTRUCT& di) {
  RECT client = di.rcItem;
  int W = client.right - client.left, H = client.bottom - client.top;
  HDC dc = CreateCompatibleDC(di.hDC);
  HBITMAP canvas = CreateCompatibleBitmap(di.hDC, W, H);
  HGDIOBJ oldCanvas = SelectObject(dc, canvas);
  RECT r = {0, 0, W, H};
  FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
  DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  InflateRect(&r, -1, -1);
  bool strip = di.CtlID == IDC_PaintBox1;
  int scheme = strip ? 0 : doc_.ComboColor;
  Rgb base = schemeBaseColour(scheme);
  if (schemeIsGradient(scheme)) {
    int h = r.bottom - r.top;
    for (int i = 0; i < kGradientBands; ++i) {
      Rgb c = gradientBandColour(base, i);
      RECT band = {r.left, gradientBandTop(r.top, h, i), r.right, gradientBandTop(r.top, h, i + 1)};
      if (band.bottom <= band.top) continue;
      HBRUSH brush = CreateSolidBrush(RGB(c.r, c.g, c.b));
      FillRect(dc, &band, brush);
      DeleteObject(brush);
    }
  } else {
    HBRUSH brush = CreateSolidBrush(RGB(base.r, base.g, base.b));
    FillRect(dc, &r, brush);
    DeleteObject(brush);
  }
  SetBkMode(dc, TRANSPARENT);
  if (strip) {
    HFONT font = CreateFontA(32, 0, 0, 0, FW_BOLD, TRUE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Times New Roman");
    HGDIOBJ oldFont = SelectObject(dc, font);
    drawCentredText(dc, "BM", W, 140, RGB(255, 255, 255));
    drawCentredText(dc, "Software", W, 180, RGB(240, 240, 240));
    drawCentredText(dc, "Tamble", W, 260, RGB(176, 176, 176));
    drawCentredText(dc, "wright", W, 290, RGB(176, 176, 176));
    SelectObject(dc, oldFont);
    DeleteObject(font);
  } else {
    if (!doc_.RadioTitleText) {
      if (!doc_.EditTitleBmp.empty()) drawBitmap(dc, doc_.EditTitleBmp, titlePlacement(doc_.TitleAlign), W, H);
    } else if (!doc_.EditTitleBmp.empty()) {
      HFONT font = CreateFontA(titleFontHeight(titleHeightValue(doc_.EditTitleSz), W), 0, 0, 0, FW_BOLD, TRUE, FALSE,
                               FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                               DEFAULT_PITCH, "Times New Roman");
      HGDIOBJ oldFont = SelectObject(dc, font);
      const std::string& text = doc_.EditTitleBmp;
      SIZE s;
      GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &s);
      TitleLayout t = titleLayout(titleHeightValue(doc_.EditTitleSz), W, s.cx, doc_.TitleAlign);
      SetTextColor(dc, GetSysColor(COLOR_3DDKSHADOW));
      TextOutA(dc, t.x, t.y, text.c_str(), static_cast<int>(text.size()));
      SetTextColor(dc, RGB(255, 255, 255));
      TextOutA(dc, t.x - t.shift, t.y - t.shift, text.c_str(), static_cast<int>(text.size()));
      SelectObject(dc, oldFont);
      DeleteObject(font);
    }
    if (!doc_.EditLogo.empty()) drawBitmap(dc, doc_.EditLogo, doc_.ComboLogoAlign + 1, W, H);
  }
  BitBlt(di.hDC, client.left, client.top, W, H, dc, 0, 0, SRCCOPY);
  SelectObject(dc, oldCanvas);
  DeleteObject(canvas);
  DeleteDC(dc);
}

LRESULT TAppForm::handle(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      command(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp));
      return 0;
    case WM_DRAWITEM: {
      const auto* di = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
      if (di->CtlID == IDC_PaintBox1 || di->CtlID == IDC_PaintBox2) paintBox(*di);
      return TRUE;
    }
    case WM_NOTIFY: {
      const auto* nm = reinterpret_cast<const NMHDR*>(lp);
      if (nm->idFrom == IDC_PageControl1 && nm->code == TCN_SELCHANGE) {
        int index = static_cast<int>(SendMessageA(nm->hwndFrom, TCM_GETCURSEL, 0, 0));
        commitPendingEdits();
        char text[32] = "";
        TCITEMA ti = {};
        ti.mask = TCIF_TEXT;
        ti.pszText = text;
        ti.cchTextMax = sizeof text;
        SendMessageA(nm->hwndFrom, TCM_GETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&ti));
        if (dialogsPage_ && lstrcmpA(text, "Dialoge") == 0) {
          for (int p = kProjekt; p <= kInstallation; ++p) ShowWindow(pages_[p], SW_HIDE);
          komponenten_.show(false);
          dialogsPage_->show(true);
          return 0;
        }
        showPage(index + 1);
      }
      return 0;
    }
    case WM_SETCURSOR:
      if (building_) {
        SetCursor(LoadCursor(nullptr, IDC_WAIT));
        return TRUE;
      }
      break;
    case WM_APP_PROGRESS: {
      std::unique_ptr<ProgressNote> note(reinterpret_cast<ProgressNote*>(lp));
      if (note->hasText) SetWindowTextA(item(IDC_StaticText1), note->text.c_str());
      if (note->percent >= 0) {
        SendMessageA(item(IDC_ProgressBar1), PBM_SETPOS, static_cast<WPARAM>(note->percent), 0);
        SetWindowTextA(item(IDC_StaticText2), (std::to_string(note->percent) + "%").c_str());
      }
      return 0;
    }
    case WM_APP_MESSAGE: {
      const auto* note = reinterpret_cast<const MessageNote*>(lp);
      UINT icon = note->icon == MessageIcon::Stop          ? MB_ICONSTOP
                  : note->icon == MessageIcon::Exclamation ? MB_ICONEXCLAMATION
                                                           : MB_ICONINFORMATION;
      MessageBoxA(hwnd_, note->text.c_str(), note->caption.c_str(), MB_OK | icon);
      return 0;
    }
    case WM_APP_BUILD_DONE:
      buildDone();
      return 0;
    case WM_CLOSE:
      // The worker holds the project until it ends; the window waits for it.
      if (building_) return 0;
      commitPendingEdits();
      if (doc_.Modified && !ConfirmDiscard()) return 0;
      writeLastProject(registry_, doc_.ProjectPath);
      savePlace();
      DestroyWindow(hwnd_);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default: break;
  }
  return DefWindowProcA(hwnd_, msg, wp, lp);
}

LRESULT CALLBACK TAppForm::windowProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* form = static_cast<TAppForm*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
    form->hwnd_ = h;
    SetWindowLongPtrA(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
  }
  auto* form = reinterpret_cast<TAppForm*>(GetWindowLongPtrA(h, GWLP_USERDATA));
  return form ? form->handle(msg, wp, lp) : DefWindowProcA(h, msg, wp, lp);
}

// A page passes its controls' notifications on to the main window.
LRESULT CALLBACK TAppForm::pageProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
    case WM_DRAWITEM:
    case WM_NOTIFY:
      return SendMessageA(GetParent(h), msg, wp, lp);
    default: return DefWindowProcA(h, msg, wp, lp);
  }
}

}  // namespace

int runMainWindow(HINSTANCE instance, const std::string& projectPath) {
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_TAB_CLASSES | ICC_PROGRESS_CLASS | ICC_TREEVIEW_CLASSES};
  InitCommonControlsEx(&icc);
  WNDCLASSA wc = {};
  wc.lpfnWndProc = TAppForm::windowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
  wc.lpszClassName = kMainClass;
  RegisterClassA(&wc);
  wc.lpfnWndProc = TAppForm::pageProc;
  wc.hIcon = nullptr;
  wc.lpszClassName = kPageClass;
  RegisterClassA(&wc);
  DialogsPage::registerClasses(instance);

  TAppForm form(instance);
  if (!form.create(projectPath)) return 1;
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (TranslateAcceleratorA(form.handle(), form.accelerators(), &msg)) continue;
    if (IsDialogMessageA(form.handle(), &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}

}  // namespace tw
