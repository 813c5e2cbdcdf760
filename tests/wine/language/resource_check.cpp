// Checks the strings, pictures, icons and version resources that a language module must carry.
#include "resource_check.h"
#include "contract.h"

namespace {

const BYTE* resourceBytes(HMODULE module, int id, LPCWSTR type, DWORD* size) {
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), type);
  if (!found) return nullptr;
  HGLOBAL loaded = LoadResource(module, found);
  *size = SizeofResource(module, found);
  return loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
}

// Dark pixels of one 16 x 16 cell of the state strip, as the list draws it.
int darkPixels(HDC dc, int cell) {
  int dark = 0;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      COLORREF c = GetPixel(dc, cell * 16 + x, y);
      if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 100) ++dark;
    }
  return dark;
}

void checkStateCells(HMODULE module, Report& report) {
  HBITMAP strip = static_cast<HBITMAP>(
      LoadImageW(module, MAKEINTRESOURCEW(101), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
  BITMAP info = {};
  if (!strip || !GetObjectW(strip, sizeof info, &info)) {
    report.result(false, L"bitmap 101 loads", L"LoadImage failed");
    return;
  }
  wchar_t detail[128];
  wsprintfW(detail, L"%dx%d", info.bmWidth, info.bmHeight);
  report.result(info.bmWidth == 96 && info.bmHeight == 16, L"bitmap 101 is a 96x16 strip", detail);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, strip);
  int d[6];
  bool corner[6];
  for (int i = 0; i < 6; ++i) {
    d[i] = darkPixels(dc, i);
    // The inner frame of a box has a dark corner where a round button has none.
    COLORREF c = GetPixel(dc, i * 16 + 2, 3);
    corner[i] = GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 100;
  }
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(strip);
  wsprintfW(detail, L"dark pixels per cell %d %d %d %d %d %d", d[0], d[1], d[2], d[3], d[4], d[5]);
  // A mark adds dark pixels to its empty cell; the partly cells use grey.
  report.result(d[1] > d[0] + 10 && d[2] <= d[1], L"bitmap 101 check box cells: off, on, partly", detail);
  report.result(d[4] > d[3] + 6 && d[5] <= d[4], L"bitmap 101 option cells: off, on, partly", detail);
  report.result(corner[0] && corner[1] && corner[2] && !corner[3] && !corner[4] && !corner[5],
                L"bitmap 101 has three box cells, then three option cells", detail);
}

// Four 8 x 8 patterns of 32 bytes (rows of 4 bytes); the fade uses the last
// first, so each pattern must cover what the next one does and more.
void checkDither(HMODULE module, Report& report) {
  DWORD size = 0;
  const BYTE* bytes = resourceBytes(module, 104, RT_BITMAP, &size);
  if (!bytes || size < sizeof(BITMAPINFOHEADER)) {
    report.result(false, L"bitmap 104 present", L"missing");
    return;
  }
  auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(bytes);
  wchar_t detail[160];
  wsprintfW(detail, L"%dx%d, %d bits", header->biWidth, header->biHeight, header->biBitCount);
  bool shape = header->biWidth == 8 && header->biHeight == 32 && header->biBitCount == 1;
  report.result(shape, L"bitmap 104 is 8x32 with one bit per pixel", detail);
  DWORD bitsAt = header->biSize + 2 * sizeof(RGBQUAD);
  if (!shape || size < bitsAt + 128) return;
  const BYTE* bits = bytes + bitsAt;
  int cover[4];
  bool nested = true;
  for (int p = 0; p < 4; ++p) {
    cover[p] = 0;
    for (int row = 0; row < 8; ++row) {
      BYTE b = bits[p * 32 + row * 4];
      for (int k = 0; k < 8; ++k) cover[p] += (b >> k) & 1;
      if (p > 0 && (b & ~bits[(p - 1) * 32 + row * 4])) nested = false;
    }
  }
  wsprintfW(detail, L"pixels from start to end %d %d %d %d", cover[0], cover[1], cover[2], cover[3]);
  report.result(cover[0] == 64 && cover[0] > cover[1] && cover[1] > cover[2] && cover[2] > cover[3] &&
                    cover[3] > 0 && nested,
                L"bitmap 104 patterns grow from the end towards the start", detail);
}

}  // namespace

void checkStrings(HMODULE module, const wchar_t* languageName, Report& report) {
  wchar_t text[1024], name[64], line[1200];
  for (int id : contract::kStrings) {
    int n = LoadStringW(module, id, text, 1024);
    wsprintfW(name, L"string %d present", id);
    report.result(n > 0, name, L"missing or empty");
    // Line breaks are written as \n so that one string stays on one line.
    wchar_t flat[1100];
    int j = 0;
    for (int i = 0; i < n && j < 1096; ++i) {
      if (text[i] == L'\n') {
        flat[j++] = L'\\';
        flat[j++] = L'n';
      } else {
        flat[j++] = text[i];
      }
    }
    flat[j] = 0;
    wsprintfW(line, L"string %d=%s", id, flat);
    report.line(line);
  }
  LoadStringW(module, 10000, text, 1024);
  report.result(lstrcmpW(text, languageName) == 0, L"string 10000 is the language name", text);
}

void checkPictures(HMODULE module, Report& report) {
  wchar_t name[64];
  DWORD size = 0;
  for (int id : contract::kBitmaps) {
    wsprintfW(name, L"bitmap %d present", id);
    report.result(resourceBytes(module, id, RT_BITMAP, &size) && size > 40, name, L"missing");
  }
  checkStateCells(module, report);
  checkDither(module, report);
  for (int id : contract::kIconGroups) {
    wsprintfW(name, L"icon group %d loads at 32x32", id);
    HICON icon = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_ICON, 32, 32, 0));
    report.result(icon != nullptr, name, L"LoadImage failed");
    if (icon) DestroyIcon(icon);
    wsprintfW(name, L"icon group %d loads at 16x16", id);
    icon = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_ICON, 16, 16, 0));
    report.result(icon != nullptr, name, L"LoadImage failed");
    if (icon) DestroyIcon(icon);
  }
  for (int id : contract::kVersions) {
    const BYTE* bytes = resourceBytes(module, id, RT_VERSION, &size);
    bool fixed = false;
    for (DWORD i = 0; bytes && i + 4 <= size; i += 4)
      if (*reinterpret_cast<const DWORD*>(bytes + i) == 0xFEEF04BD) fixed = true;
    wsprintfW(name, L"version resource %d with fixed file info", id);
    report.result(fixed, name, L"missing or without VS_FIXEDFILEINFO");
  }
}
