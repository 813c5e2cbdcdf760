// The Komponenten page of the builder's main window: the component tree,
// the installation type tree, the shortcut list and their buttons. The
// page shows the ProjectDocument and forwards every edit to the rules of
// builder/project/component_editing.
#pragma once
#include <windows.h>

#include <functional>

#include "builder/appearance/background_rules.h"
#include "builder/project/project_document.h"

namespace tw {

class ComponentsPageImpl;

class ComponentsPage {
 public:
  using Scale = std::function<PixelRect(int x, int y, int w, int h)>;
  ComponentsPage();
  ~ComponentsPage();
  ComponentsPage(const ComponentsPage&) = delete;
  ComponentsPage& operator=(const ComponentsPage&) = delete;

  // A hidden page in `area` of the main window; controls laid out by `scale`
  // from their design places.
  bool create(HWND mainWindow, HINSTANCE instance, HFONT font, const RECT& area, const Scale& scale,
              ProjectDocument& doc, const LanguageTexts& language);
  HWND window() const;
  void show(bool visible);
  // After a project was opened or created.
  void showDocument();
  // Edits still held by the controls (the type description) into the
  // document, before a save, a build or closing.
  void commitPending();

 private:
  ComponentsPageImpl* impl_;
};

}  // namespace tw
