// TResDlg: the live preview of the language module's setup dialogs on the
// Dialoge page. A template is created as a child window of the page with
// its own drawn caption and frame, and filled with the project's values,
// which the owner supplies through the events.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace tw {

class Tree;

class TResDlg {
 public:
  // OnGetString index: 0 application, 5 start-menu folder, 6 target folder,
  // 10 welcome bitmap, 11 licence, 12 info text, 17 list-box bitmap, 18 the
  // first checked shortcut. OnGetPointer: 14 and 16 the type tree (16 with
  // fresh sizes), 15 the type descriptions (4 x 256 bytes), 19 the default
  // type as a number.
  std::function<std::string(int)> OnGetString;
  std::function<const void*(int)> OnGetPointer;
  std::function<void(int)> OnNextDlg;
  std::function<void()> OnShow, OnClose;

  explicit TResDlg(HINSTANCE instance);
  ~TResDlg();
  TResDlg(const TResDlg&) = delete;
  TResDlg& operator=(const TResDlg&) = delete;

  // "BEVEL" and "ZETU_LISTBOX", once at the builder's start.
  static void registerClasses(HINSTANCE instance);

  void SetDialog(int id);
  void SetModule(HMODULE module);
  void ShowTemplate(HWND parent, const RECT& placement);
  void UpdateDialog(int index);
  // The page is shown again: a refresh asked for while hidden is done now.
  void RefreshPending();
  // The Escape key: one level up inside a component of the custom setup.
  void Escape();

  int DialogId() const { return dialogId_; }
  HWND window() const { return window_; }

 private:
  static INT_PTR CALLBACK dialogProc(HWND h, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK frameProc(HWND h, UINT msg, WPARAM wp, LPARAM lp);
  INT_PTR handle(UINT msg, WPARAM wp, LPARAM lp);
  LRESULT frame(UINT msg, WPARAM wp, LPARAM lp);
  void showCentredOn(POINT centre, bool first);
  void formatControlText(int id, const std::string& argument);
  void fillTypes();
  void fillFolder();
  void fillComponents();
  void drawComponentRow(const DRAWITEMSTRUCT& di);
  void componentSelected();
  void browseLevel(int change);
  void showCancelDialog();
  int captionHeight() const;

  HINSTANCE instance_;
  HWND window_ = nullptr;
  WNDPROC dialogWndProc_ = nullptr;
  int dialogId_ = 199;
  HMODULE module_;
  bool refreshPending_ = false;
  HBITMAP picture_ = nullptr;
  HBITMAP states_ = nullptr;
  HBITMAP listPictures_ = nullptr;
  UINT_PTR timer_ = 0;
  int ticks_ = 0;
  bool rowsMoved_ = false;  // the program folder dialog without shortcut options
  RECT placement_ = {};
  HWND parent_ = nullptr;
  // Custom setup: the entries listed and the path of entries entered.
  std::vector<const void*> rows_;
  std::vector<std::pair<const void*, int>> levels_;
};

}  // namespace tw
