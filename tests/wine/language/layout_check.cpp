// Finds what a reader would see as broken on a dialog: clipped texts, overlapping controls, controls outside the window.
#include "layout_check.h"

namespace {

struct Child {
  HWND hwnd;
  int id;
  RECT rect;  // in the dialog's client coordinates
  wchar_t className[64];
  LONG style;
};

bool isClass(const Child& c, const wchar_t* name) { return lstrcmpiW(c.className, name) == 0; }

LONG buttonType(const Child& c) { return c.style & BS_TYPEMASK; }

bool isGroupBox(const Child& c) { return isClass(c, L"Button") && buttonType(c) == BS_GROUPBOX; }

// The size the control's text needs in its own font, wrapped at `width`.
SIZE textExtent(const Child& c, const wchar_t* text, int width, bool wrap, bool prefix) {
  HDC hdc = GetDC(c.hwnd);
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(c.hwnd, WM_GETFONT, 0, 0));
  HGDIOBJ old = SelectObject(hdc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
  RECT r = {0, 0, width, 0};
  UINT flags = DT_CALCRECT | (wrap ? DT_WORDBREAK : DT_SINGLELINE) | (prefix ? 0 : DT_NOPREFIX);
  DrawTextW(hdc, text, -1, &r, flags);
  SelectObject(hdc, old);
  ReleaseDC(c.hwnd, hdc);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

void checkText(const Child& c, int dialogId, Report& report) {
  wchar_t text[1024];
  if (GetWindowTextW(c.hwnd, text, 1024) <= 0) return;
  int w = c.rect.right - c.rect.left;
  int h = c.rect.bottom - c.rect.top;
  wchar_t name[128], detail[1400];
  bool ok = true;
  if (isClass(c, L"Static")) {
    LONG type = c.style & SS_TYPEMASK;
    if (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT && type != SS_LEFTNOWORDWRAP) return;
    SIZE need = textExtent(c, text, w, type != SS_LEFTNOWORDWRAP, !(c.style & SS_NOPREFIX));
    ok = need.cy <= h && need.cx <= w;
    wsprintfW(detail, L"needs %dx%d, has %dx%d: %s", need.cx, need.cy, w, h, text);
  } else if (isClass(c, L"Button")) {
    LONG type = buttonType(c);
    int room = w - 6;  // the push button's frame and focus margin
    if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON ||
        type == BS_AUTORADIOBUTTON || type == BS_3STATE || type == BS_AUTO3STATE)
      room = w - GetSystemMetrics(SM_CXMENUCHECK) - 4;
    else if (type == BS_GROUPBOX)
      room = w - 16;
    SIZE need = textExtent(c, text, 4096, false, true);
    ok = need.cx <= room && (type == BS_GROUPBOX || need.cy <= h);
    wsprintfW(detail, L"needs %dx%d, has %dx%d: %s", need.cx, need.cy, room, h, text);
  } else {
    return;
  }
  wsprintfW(name, L"layout %d control %d text fits", dialogId, c.id);
  report.result(ok, name, detail);
}

}  // namespace

void checkLayout(HWND dialog, int dialogId, Report& report) {
  Child children[128];
  int count = 0;
  for (HWND h = GetWindow(dialog, GW_CHILD); h && count < 128; h = GetWindow(h, GW_HWNDNEXT)) {
    Child& c = children[count];
    c.style = GetWindowLongW(h, GWL_STYLE);
    if (!(c.style & WS_VISIBLE)) continue;
    c.hwnd = h;
    c.id = GetDlgCtrlID(h);
    GetWindowRect(h, &c.rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&c.rect), 2);
    GetClassNameW(h, c.className, 64);
    ++count;
  }
  RECT client;
  GetClientRect(dialog, &client);
  wchar_t name[128], detail[256];
  for (int i = 0; i < count; ++i) {
    const Child& c = children[i];
    bool inside = c.rect.left >= 0 && c.rect.top >= 0 && c.rect.right <= client.right &&
                  c.rect.bottom <= client.bottom;
    wsprintfW(name, L"layout %d control %d inside the window", dialogId, c.id);
    wsprintfW(detail, L"(%d,%d)-(%d,%d) in %dx%d", c.rect.left, c.rect.top, c.rect.right,
              c.rect.bottom, client.right, client.bottom);
    report.result(inside, name, detail);
    checkText(c, dialogId, report);
  }
  int overlaps = 0;
  for (int i = 0; i < count; ++i) {
    for (int j = i + 1; j < count; ++j) {
      const Child& a = children[i];
      const Child& b = children[j];
      if (isGroupBox(a) || isGroupBox(b)) continue;
      RECT both;
      if (!IntersectRect(&both, &a.rect, &b.rect)) continue;
      ++overlaps;
      wsprintfW(name, L"layout %d controls %d and %d apart", dialogId, a.id, b.id);
      wsprintfW(detail, L"they share (%d,%d)-(%d,%d)", both.left, both.top, both.right, both.bottom);
      report.result(false, name, detail);
    }
  }
  if (!overlaps) {
    wsprintfW(name, L"layout %d no overlapping controls", dialogId);
    report.result(true, name);
  }
}
