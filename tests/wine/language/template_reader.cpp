// Reads a classic dialog template (DLGTEMPLATE) as stored in a module: its size, font and the place of each control.
#include "template_reader.h"

namespace {

// A cursor over the template that refuses to run past its end.
struct Cursor {
  const BYTE* p;
  const BYTE* end;
  bool ok = true;

  WORD word() {
    if (p + 2 > end) { ok = false; return 0; }
    WORD w = static_cast<WORD>(p[0] | (p[1] << 8));
    p += 2;
    return w;
  }
  DWORD dword() {
    DWORD low = word();
    return low | (static_cast<DWORD>(word()) << 16);
  }
  // A name or ordinal field: 0 (none), 0xFFFF + ordinal, or a string.
  void name(wchar_t* out, int room) {
    int n = 0;
    WORD w = word();
    if (w == 0xFFFF) {
      word();
    } else {
      while (ok && w) {
        if (n < room - 1) out[n++] = static_cast<wchar_t>(w);
        w = word();
      }
    }
    if (out) out[n] = 0;
  }
  void alignDword(const BYTE* base) {
    while ((p - base) % 4) ++p;
  }
};

}  // namespace

bool readTemplate(const BYTE* bytes, DWORD size, TemplateInfo* info) {
  Cursor c{bytes, bytes + size};
  wchar_t scratch[256];
  info->style = c.dword();
  if ((info->style & 0xFFFF0000) == 0xFFFF0000 && (info->style & 0xFFFF) == 1) return false;
  c.dword();  // extended style
  int count = c.word();
  c.word();
  c.word();
  info->cx = static_cast<short>(c.word());
  info->cy = static_cast<short>(c.word());
  c.name(scratch, 256);  // menu
  c.name(info->className, 64);
  c.name(scratch, 256);  // title
  info->pointSize = 0;
  info->font[0] = 0;
  if (info->style & DS_SETFONT) {
    info->pointSize = c.word();
    c.name(info->font, 64);
  }
  info->itemCount = 0;
  for (int i = 0; i < count && c.ok; ++i) {
    c.alignDword(bytes);
    TemplateItem item;
    item.style = c.dword();
    c.dword();
    item.x = static_cast<short>(c.word());
    item.y = static_cast<short>(c.word());
    item.cx = static_cast<short>(c.word());
    item.cy = static_cast<short>(c.word());
    item.id = static_cast<short>(c.word());
    c.name(scratch, 256);  // class
    c.name(scratch, 256);  // text
    WORD extra = c.word();
    c.p += extra;
    if (info->itemCount < 96) info->items[info->itemCount++] = item;
  }
  return c.ok && c.p <= c.end;
}
