// Build progress and messages on the console, for the command-line build:
// progress lines on stdout, every message box text on stderr.
#pragma once
#include <string>

#include "builder/package/build_context.h"

namespace tw {

class ConsoleReporter final : public BuildReporter {
 public:
  ConsoleReporter();
  void progress(const std::string* text, int percent) override;
  void message(const std::string& text, const std::string& caption, MessageIcon icon) override;

 private:
  std::string step_;
  int percent_ = -1;
};

// Writes CP1252 text to stdout or stderr: as Unicode to a console, as the
// bytes themselves to a file or pipe.
void writeConsole(bool toError, const std::string& text);

}  // namespace tw
