// The start-up's view of the background window.
#include "setup/background/background_host.h"

#include "setup/background/background_window.h"
#include "setup/main/runtime_messages.h"

namespace tw {
namespace {

BackgroundWindow& background() {
  static BackgroundWindow window;
  return window;
}

void (*gFirstTick)() = nullptr;

void onFirstTick(void*) {
  if (gFirstTick) gFirstTick();
}

}  // namespace

HWND createBackground(RunState& state, void (*firstTick)()) {
  if (!BackgroundWindow::registerClass(state.instance)) return nullptr;
  gFirstTick = firstTick;
  BackgroundHooks hooks;
  hooks.firstTick = onFirstTick;
  if (!background().create(state.instance, state.resources, hooks)) return nullptr;
  state.windowStyleBits = static_cast<unsigned>(background().styleBits());
  background().show();
  pumpPending();
  if (!background().startTimer()) return nullptr;
  return background().hwnd();
}

void setBackgroundPage(HWND page) { background().setCurrentPage(page); }

}  // namespace tw
