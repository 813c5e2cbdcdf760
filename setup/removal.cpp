// Placeholder until the removal lands.
#include "setup/removal.h"

namespace tw {

int removalHandOff(bool) { return 0; }
int readUninstallRecord(const std::string&) { return -1; }
void uninstallRun(int) {}
RemovalProgress& removalProgress() {
  static RemovalProgress progress;
  return progress;
}
void markUninstallStep(int) {}
void retryPendingDirectories() {}

}  // namespace tw
