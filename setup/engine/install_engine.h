// The seam between the dialog sequence and the install engine: the check,
// copy and network passes of the file engine and the registration run.
#pragma once

namespace tw {

constexpr unsigned kRunCheckPass = 0x01;
constexpr unsigned kRunAskBeforeGivingUp = 0x02;
constexpr unsigned kRunNetworkPass = 0x20;

enum class RegistrationDirection { Install, Remove };

class InstallEngine {
 public:
  virtual ~InstallEngine() = default;
  // The install run with its mode bits; true on success. The check pass
  // also fills the components' needed bytes.
  virtual bool installRun(unsigned modeBits) = 0;
  // Mode 1 registration only, 2 network installation, 3 full installation.
  // False when a write failed (the user was told).
  virtual bool registrationRun(RegistrationDirection direction, int mode) = 0;
  // The end of an install run (copy and registration): success keeps what
  // it did, anything else takes all of it back and tells the user.
  virtual void endRun(bool succeeded) = 0;
};

InstallEngine& installEngine();

}  // namespace tw
