// TSAPopup: the alias menu. A right click with Shift held on an alias field
// opens it; the chosen alias is inserted at the caret, replacing the
// selection. Without Shift the field's own menu appears.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace tw {

class ProjectDocument;

class SAPopup {
 public:
  SAPopup();
  ~SAPopup();
  SAPopup(const SAPopup&) = delete;
  SAPopup& operator=(const SAPopup&) = delete;
  // The twelve aliases, a separator, one "[name]" per file component.
  void rebuild(const ProjectDocument& doc);
  // Makes an edit alias-capable; `used` (may be null) is set when the menu
  // put text into it.
  void attach(HWND edit, bool* used = nullptr);
  const std::vector<std::string>& items() const { return items_; }

 private:
  static LRESULT CALLBACK editProc(HWND h, UINT msg, WPARAM wp, LPARAM lp);
  bool show(HWND edit, LPARAM lp);
  HMENU menu_;
  std::vector<std::string> items_;
};

// The one menu of the program.
SAPopup& aliasMenu();

}  // namespace tw
