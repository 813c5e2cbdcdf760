// The builder's Dialoge page: the dialog sequence with its settings panels,
// the language module and the extension DLL, and the live preview of the
// selected dialog (TResDlg).
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "builder/language_library.h"
#include "builder/project/project_document.h"
#include "builder/window/res_dlg.h"

namespace tw {

struct DialogsPageHost {
  ProjectDocument& doc;
  LanguageLibrary& language;
  const std::vector<LanguageEntry>& modules;
  std::string builderFolder;  // with trailing backslash
  HFONT font;
  // Design pixels of the page to the window's pixels.
  std::function<RECT(int x, int y, int w, int h)> scaled;
  // The shared file choice: the chosen name for `current`, or false.
  std::function<bool(bool bitmap, const std::string& current, std::string& chosen)> chooseFile;
};

class DialogsPage {
 public:
  DialogsPage(HINSTANCE instance, DialogsPageHost host);
  ~DialogsPage();
  static void registerClasses(HINSTANCE instance);

  HWND create(HWND parent, const RECT& area);
  HWND handle() const { return page_; }
  void show(bool visible);
  bool visible() const { return page_ && IsWindowVisible(page_); }
  // Fills the controls from the document; the language the document names
  // has been loaded by the window.
  void showProject();
  // Other pages' fields that the preview shows.
  void fieldLeft(int index) { preview_.UpdateDialog(index); }
  void companyChanged() { preview_.SetDialog(preview_.DialogId()); }
  // Enter in one of the page's file fields; false when the focus is elsewhere.
  bool enterPressed(HWND focus);
  // Escape: inside a component of the custom-setup preview, one level up.
  void escapePressed() {
    if (visible()) preview_.Escape();
  }

 private:
  static LRESULT CALLBACK pageProc(HWND h, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK listProc(HWND h, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT handle(HWND h, UINT msg, WPARAM wp, LPARAM lp);
  HWND item(int id) const;
  void createControls();
  void entrySelected();
  void toggleEntry(int index);
  void languageChosen();
  void nextDialog(int direction);
  void fileButton(int buttonId);
  void editLeft(int id);
  std::string previewString(int index);
  const void* previewPointer(int index);
  std::string projectFile(const std::string& name) const;
  void drawEntry(const DRAWITEMSTRUCT& di);

  HINSTANCE instance_;
  DialogsPageHost host_;
  HWND page_ = nullptr;
  HWND panels_[9] = {};
  WNDPROC listWndProc_ = nullptr;
  TResDlg preview_;
  RECT previewArea_ = {};
  int selected_ = -1;
  int languageIndex_ = -1;
  bool changedEdit_ = false;
};

}  // namespace tw
