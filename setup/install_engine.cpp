// The install engine until the file, registry and uninstall work lands:
// the check pass finds nothing to check, and the copy pass says plainly
// that this build cannot install, so the sequence ends there.
#include <windows.h>

#include "setup/install_engine.h"
#include "setup/runtime_state.h"

namespace tw {
namespace {

class UnavailableEngine final : public InstallEngine {
 public:
  bool installRun(unsigned modeBits) override {
    if (modeBits & kRunCheckPass) return true;
    MessageBoxA(runState().mainWindow, "Diese Ausgabe von Setup kann noch nicht installieren.", "Setup",
                MB_OK | MB_ICONINFORMATION);
    return false;
  }
  void registrationRun(RegistrationDirection, int) override {}
};

}  // namespace

InstallEngine& installEngine() {
  static UnavailableEngine engine;
  return engine;
}

}  // namespace tw
