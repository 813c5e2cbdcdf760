// Fills a page the way Setup would: "%1" replaced by the application name and sample values in its fields.
#include "page_content.h"
#include <commctrl.h>

namespace {

void formatControl(HWND window, const wchar_t* argument) {
  wchar_t text[1024], out[1024];
  if (GetWindowTextW(window, text, 1024) <= 0) return;
  DWORD_PTR args[1] = {reinterpret_cast<DWORD_PTR>(argument)};
  if (FormatMessageW(FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ARGUMENT_ARRAY, text, 0, 0, out,
                     1024, reinterpret_cast<va_list*>(args)))
    SetWindowTextW(window, out);
}

void formatItem(HWND dialog, int id, const wchar_t* argument) {
  if (HWND item = GetDlgItem(dialog, id)) formatControl(item, argument);
}

void setText(HWND dialog, int id, const wchar_t* text) { SetDlgItemTextW(dialog, id, text); }

void setString(HWND dialog, int id, const PageState& state, int stringId) {
  wchar_t text[512];
  if (LoadStringW(state.module, stringId, text, 512) > 0) SetDlgItemTextW(dialog, id, text);
}

void show(HWND dialog, int id, bool visible) {
  if (HWND item = GetDlgItem(dialog, id)) ShowWindow(item, visible ? SW_SHOW : SW_HIDE);
}

const wchar_t kSampleText[] =
    L"1. Lorem ipsum dolor sit amet, consectetur adipiscing elit, sed do eiusmod tempor "
    L"incididunt ut labore et dolore magna aliqua.\r\n\r\n2. Ut enim ad minim veniam, quis "
    L"nostrud exercitation ullamco laboris nisi ut aliquip ex ea commodo consequat.\r\n\r\n"
    L"3. Duis aute irure dolor in reprehenderit in voluptate velit esse cillum dolore eu "
    L"fugiat nulla pariatur.\r\n\r\n4. Excepteur sint occaecat cupidatat non proident, sunt "
    L"in culpa qui officia deserunt mollit anim id est laborum.";

// Name, state cell (0-2 box, 3-5 option) and kilobytes of the sample rows.
struct Row {
  const wchar_t* name;
  int cell;
  int kb;
};
const Row kRows[] = {
    {L"Programm / Program", 1, 4812}, {L"Hilfe / Help", 2, 1210},
    {L"Beispiele / Samples", 0, 0}, {L"Deutsch", 4, 380}, {L"English", 3, 0},
};

// A stand-in for the project's welcome or advertisement picture, which Setup
// puts into control 1200: a light card with the module's icon and the name.
HBITMAP samplePicture(const PageState& state, HWND dialog, int width, int height) {
  HDC screen = GetDC(nullptr);
  HBITMAP picture = CreateCompatibleBitmap(screen, width, height);
  HDC dc = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  HGDIOBJ oldBitmap = SelectObject(dc, picture);
  RECT all = {0, 0, width, height};
  HBRUSH paper = CreateSolidBrush(RGB(240, 244, 250));
  FillRect(dc, &all, paper);
  DeleteObject(paper);
  RECT band = {0, height - 56, width, height - 48};
  HBRUSH blue = CreateSolidBrush(RGB(18, 42, 98));
  FillRect(dc, &band, blue);
  DeleteObject(blue);
  auto* icon = static_cast<HICON>(LoadImageW(state.module, MAKEINTRESOURCEW(2), IMAGE_ICON, 32, 32, 0));
  if (icon) {
    DrawIconEx(dc, 28, 40, icon, 64, 64, 0, nullptr, DI_NORMAL);
    DestroyIcon(icon);
  }
  HFONT big = CreateFontW(-30, 0, 0, 0, FW_BOLD, TRUE, FALSE, FALSE, ANSI_CHARSET, 0, 0, 0, 0,
                          L"Times New Roman");
  HGDIOBJ oldFont = SelectObject(dc, big);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(18, 42, 98));
  TextOutW(dc, 112, 52, state.appName, lstrlenW(state.appName));
  wchar_t title[128];
  int n = GetWindowTextW(dialog, title, 128);
  SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  SetTextColor(dc, RGB(60, 60, 60));
  if (n > 0) TextOutW(dc, 114, 92, title, n);
  SelectObject(dc, oldFont);
  DeleteObject(big);
  SelectObject(dc, oldBitmap);
  DeleteDC(dc);
  return picture;
}

void fillComponents(HWND dialog, const PageState& state) {
  HWND list = GetDlgItem(dialog, 401);
  for (const Row& row : kRows) {
    wchar_t text[128];
    wsprintfW(text, L"%s%%%d", row.name, row.kb);
    int index = static_cast<int>(SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
    SendMessageW(list, LB_SETITEMDATA, index, row.cell);
  }
  SendMessageW(list, LB_SETCURSEL, 0, 0);
  wchar_t format[256], text[256];
  if (LoadStringW(state.module, 518, format, 256) > 0) {
    wsprintfW(text, format, 2, 3);
    setText(dialog, 720, text);
  }
  setText(dialog, 712, L"Lorem ipsum dolor sit amet, consectetur adipiscing elit.");
  setText(dialog, 716, L"6,3 MB");
  setText(dialog, 717, L"1.024,0 MB");
  EnableWindow(GetDlgItem(dialog, 20), TRUE);
}

void fillSummary(HWND dialog, const PageState& state) {
  wchar_t heads[5][128];
  const int ids[5] = {512, 514, 515, 516, 517};
  for (int i = 0; i < 5; ++i)
    if (LoadStringW(state.module, ids[i], heads[i], 128) <= 0) heads[i][0] = 0;
  wchar_t text[1024];
  wsprintfW(text,
            L"%s\r\n\tErika Mustermann\r\n\tBeispiel GmbH\r\n\r\n%s\r\n\tNormal\r\n\r\n%s\r\n"
            L"\tC:\\Programme\\%s\r\n\r\n%s\r\n\t%s\r\n\r\n%s\r\n\t%s",
            heads[0], heads[1], heads[2], state.appName, heads[3], state.appName, heads[4],
            state.appName);
  HWND edit = GetDlgItem(dialog, 301);
  int stop = 8;
  SendMessageW(edit, EM_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&stop));
  SetWindowTextW(edit, text);
}

}  // namespace

void formatLikeSetup(HWND dialog, const PageState& state) {
  switch (state.dialogId) {
    case 101:
      formatItem(dialog, 101, L"C:\\Programme\\Beispiel\\LIESMICH.TXT");
      break;
    case 150:
      formatItem(dialog, 701, state.appName);
      break;
    case 213:
    case 214:
      formatItem(dialog, 710, state.appName);
      formatItem(dialog, 522, state.appName);
      break;
    case 215:
      formatItem(dialog, 700, state.appName);
      formatControl(dialog, state.appName);
      break;
    default:
      formatItem(dialog, 710, state.appName);
      break;
  }
}

void fillSampleContent(HWND dialog, const PageState& state) {
  wchar_t folder[MAX_PATH];
  wsprintfW(folder, L"C:\\Programme\\%s", state.appName);
  switch (state.dialogId) {
    case 200:
    case 211:
      SendDlgItemMessageW(dialog, 1200, STM_SETIMAGE, IMAGE_BITMAP,
                          reinterpret_cast<LPARAM>(samplePicture(state, dialog, 400, 260)));
      break;
    case 202:
    case 203:
      setText(dialog, 301, kSampleText);
      break;
    case 204:
      setText(dialog, 301, L"Erika Mustermann");
      setText(dialog, 302, L"Beispiel GmbH");
      break;
    case 205:
      setText(dialog, 715, folder);
      break;
    case 206:
      setText(dialog, 715, folder);
      // The builder's default descriptions are the module's strings 200-203.
      for (int i = 0; i < 4; ++i) setString(dialog, 701 + i, state, 200 + i);
      CheckRadioButton(dialog, 501, 504, 501);
      break;
    case 207:
      fillComponents(dialog, state);
      break;
    case 208: {
      setText(dialog, 301, state.appName);
      CheckDlgButton(dialog, 303, BST_CHECKED);
      HWND list = GetDlgItem(dialog, 401);
      const wchar_t* folders[] = {L"Autostart", L"Spiele", L"Verwaltung", L"Zubehör"};
      for (const wchar_t* f : folders) SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(f));
      break;
    }
    case 209:
      fillSummary(dialog, state);
      break;
    case 210: {
      show(dialog, 1400, true);
      show(dialog, 1425, false);
      wchar_t prefix[128], text[256];
      if (LoadStringW(state.module, 524, prefix, 128) <= 0) prefix[0] = 0;
      wsprintfW(text, L"%sBEISPIEL.EXE", prefix);
      setText(dialog, 1450, text);
      show(dialog, 1450, true);
      SendDlgItemMessageW(dialog, 1500, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
      SendDlgItemMessageW(dialog, 1500, PBM_SETPOS, 45, 0);
      break;
    }
    case 212:
      CheckRadioButton(dialog, 512, 513, 512);
      break;
    case 213:
      setString(dialog, 711, state, 523);
      CheckDlgButton(dialog, 521, BST_CHECKED);
      CheckDlgButton(dialog, 522, BST_CHECKED);
      break;
    case 214:
      CheckRadioButton(dialog, 521, 522, 521);
      break;
    case 215:
      for (int id = 721; id <= 724; ++id)
        SendDlgItemMessageW(dialog, id, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(state.mark));
      SendDlgItemMessageW(dialog, 1500, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
      SendDlgItemMessageW(dialog, 1500, PBM_SETPOS, 100, 0);
      show(dialog, 701, true);
      EnableWindow(GetDlgItem(dialog, 1), TRUE);
      break;
  }
}

bool drawComponentRow(const DRAWITEMSTRUCT* item, const PageState& state) {
  if (item->CtlID != 401 || state.dialogId != 207 || item->itemID == static_cast<UINT>(-1)) return false;
  wchar_t text[256];
  SendMessageW(item->hwndItem, LB_GETTEXT, item->itemID, reinterpret_cast<LPARAM>(text));
  wchar_t* kb = text;
  while (*kb && *kb != L'%') ++kb;
  if (*kb) *kb++ = 0;
  HDC hdc = item->hDC;
  RECT r = item->rcItem;
  FillRect(hdc, &r, GetSysColorBrush(COLOR_WINDOW));
  HDC cells = CreateCompatibleDC(hdc);
  HGDIOBJ old = SelectObject(cells, state.stateCells);
  BitBlt(hdc, r.left, r.top, 16, 16, cells, static_cast<int>(item->itemData) * 16, 0, SRCCOPY);
  SelectObject(cells, old);
  DeleteDC(cells);
  RECT area = {r.left + 18, r.top, r.right, r.bottom};
  bool selected = (item->itemState & ODS_SELECTED) != 0;
  FillRect(hdc, &area, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  SetBkMode(hdc, TRANSPARENT);
  SetTextColor(hdc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  RECT name = {area.left + 2, area.top, area.right - 4, area.bottom};
  DrawTextW(hdc, text, -1, &name, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  wchar_t size[32];
  wsprintfW(size, L"%s KB", kb);
  DrawTextW(hdc, size, -1, &name, DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOPREFIX);
  return true;
}
