// The background window's preparations, painting and messages.
#include "setup/background/background_window.h"

#include "setup/core/background/background_layout.h"
#include "setup/core/background/dib_layout.h"
#include "setup/background/transparent_blit.h"

namespace tw {
namespace {

constexpr char kClassName[] = "Setup";
constexpr char kWindowTitle[] = "Setup";
constexpr char kTitleFace[] = "Times New Roman";
constexpr DWORD kStyle = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX;  // 0xCE0000
constexpr UINT_PTR kStartTimer = 1;
constexpr UINT kStartDelayMs = 500;
constexpr int kTitleBitmap = 1, kLogoBitmap = 2, kBackgroundBitmap = 3, kFadeBitmap = 104;
constexpr int kTitleTextOrigin = 14;
constexpr int kShadowOffset = 4;
constexpr WPARAM kCancelCommand = 2;

bool isEmpty(const RECT& r) { return r.right <= r.left; }

COLORREF toColorRef(uint32_t bgr) { return static_cast<COLORREF>(bgr & 0xFFFFFF); }

void placeRect(RECT& r, uint8_t code, int width, int height) {
  if (isEmpty(r)) return;
  int w = r.right - r.left, h = r.bottom - r.top;
  Placement p = placePicture(code, width, height, w, h);
  r = {p.left, p.top, p.left + w, p.top + h};
}

template <typename T>
void deleteObject(T& object) {
  if (object != nullptr) DeleteObject(object);
  object = nullptr;
}

void fillSolid(HDC dc, const RECT& r, uint32_t colour) {
  HBRUSH brush = CreateSolidBrush(toColorRef(colour));
  if (brush == nullptr) return;
  FillRect(dc, &r, brush);
  DeleteObject(brush);
}

}  // namespace

BackgroundWindow::~BackgroundWindow() {
  if (hwnd_ != nullptr) DestroyWindow(hwnd_);
  release();
}

void BackgroundWindow::release() {
  deleteObject(titleFont_);
  deleteObject(titleBitmap_);
  deleteObject(logoBitmap_);
  deleteObject(picture_);
}

bool BackgroundWindow::registerClass(HINSTANCE instance) {
  WNDCLASSA wc = {};
  wc.style = CS_HREDRAW | CS_VREDRAW | CS_PARENTDC;
  wc.lpfnWndProc = windowProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(1));
  // Without a class cursor the pointer would keep whatever shape it had
  // when it entered the window.
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.lpszClassName = kClassName;
  return RegisterClassA(&wc) != 0;
}

bool BackgroundWindow::create(HINSTANCE instance, HMODULE resources, const BackgroundHooks& hooks) {
  resources_ = resources;
  hooks_ = hooks;
  settings_ = readBackgroundSettings(ModuleResources(resources));
  DWORD style = kStyle | (sizeable() ? WS_MAXIMIZEBOX : 0);
  DWORD exStyle = (settings_.styleBits & kStyleFullScreen) && !sizeable() ? WS_EX_TOPMOST : 0;
  HWND hwnd = CreateWindowExA(exStyle, kClassName, kWindowTitle, style, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, this);
  if (hwnd == nullptr) return false;
  prepare();
  return true;
}

void BackgroundWindow::prepare() {
  ModuleResources profile(resources_);
  int w = 0, h = 0;
  if (settings_.title == TitleKind::picture) {
    titleBitmap_ = loadProfileBitmap(resources_, kTitleBitmap);
    if (profileBitmapSize(profile, kTitleBitmap, w, h)) title_ = {0, 0, w, h};
  } else if (settings_.title == TitleKind::text) {
    titleFont_ = CreateFontA(settings_.titleHeight, 0, 0, 0, FW_BOLD, TRUE, FALSE, FALSE, ANSI_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_DONTCARE, kTitleFace);
    HDC dc = GetDC(hwnd_);
    if (dc != nullptr) {
      HGDIOBJ old = SelectObject(dc, titleFont_);
      SIZE extent = {0, 0};
      if (GetTextExtentPoint32A(dc, settings_.titleText.c_str(), static_cast<int>(settings_.titleText.size()),
                                &extent))
        title_ = {kTitleTextOrigin, kTitleTextOrigin, extent.cx + kTitleTextOrigin,
                  extent.cy + kTitleTextOrigin};
      SelectObject(dc, old);
      ReleaseDC(hwnd_, dc);
    }
  }
  if (settings_.logo) {
    logoBitmap_ = loadProfileBitmap(resources_, kLogoBitmap);
    if (profileBitmapSize(profile, kLogoBitmap, w, h)) logo_ = {0, 0, w, h};
  }
  if (profileBitmapSize(profile, kBackgroundBitmap, pictureWidth_, pictureHeight_)) {
    hasPicture_ = true;
    picture_ = loadProfileBitmap(resources_, kBackgroundBitmap);
  } else {
    const uint8_t* data;
    size_t size;
    // A bitmap 3 whose header cannot be read still replaces the colours.
    hasPicture_ = profile.find(kResourceBitmap, kBackgroundBitmap, data, size);
  }
  // The size message of the creation came before the rectangles were known;
  // a window shown at its created size gets no other one.
  RECT client;
  GetClientRect(hwnd_, &client);
  layOut(client.right, client.bottom);
}

void BackgroundWindow::show() {
  ShowWindow(hwnd_, (settings_.styleBits & kStyleFullScreen) ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
  UpdateWindow(hwnd_);
}

bool BackgroundWindow::startTimer() { return SetTimer(hwnd_, kStartTimer, kStartDelayMs, nullptr) != 0; }

void BackgroundWindow::layOut(int width, int height) {
  if (!settings_.hasLayout) return;
  placeRect(logo_, settings_.logoCode, width, height);
  placeRect(title_, settings_.titleCode, width, height);
  if (!(settings_.logoCode & kLayoutFade)) logoFadePending_ = false;
  if (!(settings_.titleCode & kLayoutFade)) titleFadePending_ = false;
}

void BackgroundWindow::onEraseBackground(HDC dc) {
  RECT client;
  GetClientRect(hwnd_, &client);
  int W = client.right, H = client.bottom;
  if (hasPicture_) {
    SourceSize part = stretchSource(W, H, pictureWidth_, pictureHeight_);
    if (picture_ == nullptr || part.width <= 0 || part.height <= 0) return;
    HDC memory = CreateCompatibleDC(dc);
    if (memory == nullptr) return;
    HGDIOBJ old = SelectObject(memory, picture_);
    int oldMode = SetStretchBltMode(dc, HALFTONE);
    POINT oldOrigin;
    SetBrushOrgEx(dc, 0, 0, &oldOrigin);  // halftone stretching wants it reset
    StretchBlt(dc, 0, 0, W, H, memory, 0, 0, part.width, part.height, SRCCOPY);
    SetStretchBltMode(dc, oldMode);
    SetBrushOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
    SelectObject(memory, old);
    DeleteDC(memory);
    return;
  }
  if (settings_.colours.top == settings_.colours.bottom) {
    fillSolid(dc, client, settings_.colours.top);
    return;
  }
  for (int band = 0; band < kGradientBands; ++band) {
    RECT r = {0, bandTop(H, band), W, bandTop(H, band + 1)};
    if (r.bottom > r.top) fillSolid(dc, r, bandColour(settings_.colours, band));
  }
}

void BackgroundWindow::paintTitleText(HDC dc) {
  const char* text = settings_.titleText.c_str();
  int length = static_cast<int>(settings_.titleText.size());
  HGDIOBJ old = SelectObject(dc, titleFont_);
  int oldMode = SetBkMode(dc, TRANSPARENT);
  COLORREF oldColour = SetTextColor(dc, GetSysColor(COLOR_3DDKSHADOW));
  TextOutA(dc, title_.left, title_.top, text, length);
  SetTextColor(dc, RGB(255, 255, 255));
  TextOutA(dc, title_.left - kShadowOffset, title_.top - kShadowOffset, text, length);
  SetTextColor(dc, oldColour);
  SetBkMode(dc, oldMode);
  SelectObject(dc, old);
}

void BackgroundWindow::onPaint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd_, &ps);
  if (dc == nullptr) return;
  if (!isEmpty(title_) && RectVisible(dc, &title_)) {
    if (settings_.title == TitleKind::text)
      paintTitleText(dc);
    else if (!titleFadePending_)
      drawTransparent(dc, titleBitmap_, title_.left, title_.top, nullptr);
  }
  if (!isEmpty(logo_) && !logoFadePending_ && RectVisible(dc, &logo_))
    drawTransparent(dc, logoBitmap_, logo_.left, logo_.top, nullptr);
  EndPaint(hwnd_, &ps);
}

void BackgroundWindow::onTimer() {
  KillTimer(hwnd_, kStartTimer);
  FadePatterns fade;
  const uint8_t* data;
  size_t size;
  if (ModuleResources(resources_).find(kResourceBitmap, kFadeBitmap, data, size))
    for (int step = 0; step < kFadeSteps; ++step) fadePattern(data, size, step, fade.step[step]);
  HDC dc = GetDC(hwnd_);
  if (dc != nullptr) {
    if (titleFadePending_ && settings_.title == TitleKind::picture && !isEmpty(title_))
      drawTransparent(dc, titleBitmap_, title_.left, title_.top, &fade);
    if (logoFadePending_ && !isEmpty(logo_)) drawTransparent(dc, logoBitmap_, logo_.left, logo_.top, &fade);
    ReleaseDC(hwnd_, dc);
  }
  titleFadePending_ = false;
  logoFadePending_ = false;
  if (hooks_.firstTick != nullptr) hooks_.firstTick(hooks_.context);
}

LRESULT BackgroundWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      onEraseBackground(reinterpret_cast<HDC>(wParam));
      return 1;
    case WM_PAINT:
      onPaint();
      return 0;
    case WM_SIZE:
      layOut(LOWORD(lParam), HIWORD(lParam));
      break;
    case WM_TIMER:
      if (wParam != kStartTimer) break;
      onTimer();
      return 0;
    case WM_CLOSE:
      if (page_ != nullptr && IsWindow(page_)) {
        PostMessageA(page_, WM_COMMAND, kCancelCommand, 0);
        return 0;
      }
      break;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_SYSCOLORCHANGE:
      if (hooks_.coloursChanged != nullptr) hooks_.coloursChanged(hooks_.context);
      break;
    case WM_NCHITTEST: {
      LRESULT hit = DefWindowProcA(hwnd_, message, wParam, lParam);
      return (hit == HTCAPTION && !sizeable()) ? HTCLIENT : hit;
    }
    case WM_INITMENUPOPUP:
      if (!sizeable()) {
        HMENU system = GetSystemMenu(hwnd_, FALSE);
        EnableMenuItem(system, SC_MOVE, MF_BYCOMMAND | MF_GRAYED);
        EnableMenuItem(system, SC_SIZE, MF_BYCOMMAND | MF_GRAYED);
      }
      break;
    default:
      break;
  }
  return DefWindowProcA(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK BackgroundWindow::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<BackgroundWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<BackgroundWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcA(hwnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    self->page_ = nullptr;
    return DefWindowProcA(hwnd, message, wParam, lParam);
  }
  return self->handle(message, wParam, lParam);
}

}  // namespace tw
