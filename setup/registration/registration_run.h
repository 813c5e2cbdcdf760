// The registration run: registry components, shortcuts, application paths,
// the per-user installation record, user information and the uninstall
// entry, written in the install direction and undone in the remove one.
#pragma once
#include "setup/engine/install_engine.h"

namespace tw {

// Install direction: mode 1 registration only, 2 network, 3 full. Remove
// direction: the uninstall mode 0..3 (1 keeps everything outside
// HKEY_CURRENT_USER, the application paths and the application key).
// False when a write of the install direction failed; the user was told.
bool runRegistration(RegistrationDirection direction, int mode);

// The per-user installation record: the stored kind (0 none, 1 REGISTRY,
// 2 SYSTEM, 3 ADMIN) with bit 2 set when the record exists. With
// loadChoices the program folder, the Start-menu entry and the desktop
// choice go to the run state.
int readInstallRecord(bool loadChoices);

}  // namespace tw
