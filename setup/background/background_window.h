// The setup background window (class "Setup"): gradient, solid colour or
// stretched picture, shadowed title or title picture, logo, the fade-ins,
// and the start timer of the dialog sequence.
#pragma once
#include <windows.h>

#include "setup/core/background/background_settings.h"
#include "setup/main/profile_resources.h"

namespace tw {

// What the window hands back to the program. Either function may be left
// out.
struct BackgroundHooks {
  void (*firstTick)(void* context) = nullptr;       // start the dialog sequence
  void (*coloursChanged)(void* context) = nullptr;  // reload the component list's bitmaps
  void* context = nullptr;
};

class BackgroundWindow {
 public:
  BackgroundWindow() = default;
  ~BackgroundWindow();
  BackgroundWindow(const BackgroundWindow&) = delete;
  BackgroundWindow& operator=(const BackgroundWindow&) = delete;

  // The class "Setup" with the program's icon 1; false when the system
  // refuses it.
  static bool registerClass(HINSTANCE instance);

  // Creates the window after the window-style string and prepares colours,
  // title and logo from the profile in `resources`. The object must outlive
  // the window.
  bool create(HINSTANCE instance, HMODULE resources, const BackgroundHooks& hooks);
  // Maximized for a full-screen window, normally otherwise.
  void show();
  // Timer 1: its first tick fades pictures in and calls the first-tick hook.
  bool startTimer();
  // The wizard page on screen (nullptr: none); closing the window cancels it.
  void setCurrentPage(HWND page) { page_ = page; }
  HWND hwnd() const { return hwnd_; }
  int styleBits() const { return settings_.styleBits; }

 private:
  static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
  void prepare();
  void layOut(int width, int height);
  void onEraseBackground(HDC dc);
  void onPaint();
  void onTimer();
  void paintTitleText(HDC dc);
  bool sizeable() const { return (settings_.styleBits & kStyleSizeable) != 0; }
  void release();

  HWND hwnd_ = nullptr;
  HMODULE resources_ = nullptr;
  BackgroundHooks hooks_;
  BackgroundSettings settings_;
  HWND page_ = nullptr;
  RECT title_ = {0, 0, 0, 0};
  RECT logo_ = {0, 0, 0, 0};
  HFONT titleFont_ = nullptr;
  HBITMAP titleBitmap_ = nullptr;
  HBITMAP logoBitmap_ = nullptr;
  HBITMAP picture_ = nullptr;  // bitmap 3
  bool hasPicture_ = false;    // bitmap 3 exists, even when it cannot be shown
  int pictureWidth_ = 0;
  int pictureHeight_ = 0;
  bool titleFadePending_ = true;
  bool logoFadePending_ = true;
};

}  // namespace tw
