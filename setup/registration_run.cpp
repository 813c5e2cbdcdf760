// Placeholder until the registration run lands.
#include "setup/registration_run.h"

namespace tw {

void runRegistration(RegistrationDirection, int) {}
int readInstallRecord(bool) { return 0; }

}  // namespace tw
