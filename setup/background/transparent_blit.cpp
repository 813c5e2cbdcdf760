// Transparent drawing and the fade-in.
#include "setup/background/transparent_blit.h"

namespace tw {
namespace {

// Where the brush is black the picture is taken, where it is white the
// working image keeps its pixel: S xor (P and (D xor S)).
constexpr DWORD kMixThroughPattern = 0xAC0744;
constexpr DWORD kFadeStepMs = 80;

// An 8 x 8 monochrome packed bitmap for a pattern brush: colour 0 white,
// colour 1 black, so a pattern bit 1 lets the picture through.
struct BrushPattern {
  BITMAPINFOHEADER header;
  RGBQUAD colours[2];
  uint8_t rows[32];
};

// A memory device context holding one bitmap, undone in reverse order.
class MemoryDc {
 public:
  MemoryDc(HDC like, HBITMAP bitmap) : dc_(CreateCompatibleDC(like)) {
    if (dc_ != nullptr && bitmap != nullptr) old_ = SelectObject(dc_, bitmap);
  }
  ~MemoryDc() {
    if (dc_ == nullptr) return;
    if (old_ != nullptr) SelectObject(dc_, old_);
    DeleteDC(dc_);
  }
  MemoryDc(const MemoryDc&) = delete;
  MemoryDc& operator=(const MemoryDc&) = delete;
  HDC get() const { return dc_; }
  bool ok() const { return dc_ != nullptr && old_ != nullptr; }

 private:
  HDC dc_;
  HGDIOBJ old_ = nullptr;
};

class OwnedBitmap {
 public:
  explicit OwnedBitmap(HBITMAP b) : b_(b) {}
  ~OwnedBitmap() {
    if (b_ != nullptr) DeleteObject(b_);
  }
  OwnedBitmap(const OwnedBitmap&) = delete;
  OwnedBitmap& operator=(const OwnedBitmap&) = delete;
  HBITMAP get() const { return b_; }

 private:
  HBITMAP b_;
};

void fadeIn(HDC dc, HDC composed, HBITMAP background, int x, int y, int w, int h,
            const FadePatterns& fade) {
  MemoryDc work(dc, background);
  if (!work.ok()) return;
  BrushPattern pattern = {};
  pattern.header.biSize = sizeof pattern.header;
  pattern.header.biWidth = 8;
  pattern.header.biHeight = 8;
  pattern.header.biPlanes = 1;
  pattern.header.biBitCount = 1;
  pattern.header.biClrUsed = 2;
  pattern.colours[0] = {255, 255, 255, 0};
  pattern.colours[1] = {0, 0, 0, 0};
  for (const uint8_t* rows : fade.step) {
    if (rows == nullptr) continue;
    CopyMemory(pattern.rows, rows, sizeof pattern.rows);
    HBRUSH brush = CreateDIBPatternBrushPt(&pattern, DIB_RGB_COLORS);
    if (brush == nullptr) continue;
    HGDIOBJ oldBrush = SelectObject(work.get(), brush);
    BitBlt(work.get(), 0, 0, w, h, composed, 0, 0, kMixThroughPattern);
    SelectObject(work.get(), oldBrush);
    DeleteObject(brush);
    BitBlt(dc, x, y, w, h, work.get(), 0, 0, SRCCOPY);
    GdiFlush();
    Sleep(kFadeStepMs);
  }
}

}  // namespace

void drawTransparent(HDC dc, HBITMAP picture, int x, int y, const FadePatterns* fade) {
  BITMAP info;
  if (picture == nullptr || GetObjectA(picture, sizeof info, &info) == 0) return;
  int w = info.bmWidth, h = info.bmHeight;
  RECT area = {x, y, x + w, y + h};
  if (w <= 0 || h <= 0 || !RectVisible(dc, &area)) return;

  MemoryDc source(dc, picture);
  OwnedBitmap maskBitmap(CreateBitmap(w, h, 1, 1, nullptr));
  OwnedBitmap composedBitmap(CreateCompatibleBitmap(dc, w, h));
  OwnedBitmap backgroundBitmap(fade != nullptr ? CreateCompatibleBitmap(dc, w, h) : nullptr);
  if (!source.ok() || maskBitmap.get() == nullptr || composedBitmap.get() == nullptr) return;
  MemoryDc mask(dc, maskBitmap.get());
  MemoryDc composed(dc, composedBitmap.get());
  if (!mask.ok() || !composed.ok()) return;

  // The mask is white where the picture has the colour of its top-left pixel.
  SetBkColor(source.get(), GetPixel(source.get(), 0, 0));
  BitBlt(mask.get(), 0, 0, w, h, source.get(), 0, 0, SRCCOPY);

  BitBlt(composed.get(), 0, 0, w, h, dc, x, y, SRCCOPY);
  if (backgroundBitmap.get() != nullptr) {
    MemoryDc keep(dc, backgroundBitmap.get());
    if (keep.ok()) BitBlt(keep.get(), 0, 0, w, h, composed.get(), 0, 0, SRCCOPY);
  }
  // screen ^ picture, cleared where the picture shows, ^ picture again.
  SetBkColor(composed.get(), RGB(255, 255, 255));
  SetTextColor(composed.get(), RGB(0, 0, 0));
  BitBlt(composed.get(), 0, 0, w, h, source.get(), 0, 0, SRCINVERT);
  BitBlt(composed.get(), 0, 0, w, h, mask.get(), 0, 0, SRCAND);
  BitBlt(composed.get(), 0, 0, w, h, source.get(), 0, 0, SRCINVERT);

  if (fade != nullptr && backgroundBitmap.get() != nullptr)
    fadeIn(dc, composed.get(), backgroundBitmap.get(), x, y, w, h, *fade);
  BitBlt(dc, x, y, w, h, composed.get(), 0, 0, SRCCOPY);
}

}  // namespace tw
