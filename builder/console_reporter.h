// Build progress and messages on the console, for the command-line build:
// progress lines on stdout, every message box text on stderr.
#pragma once
#include <string>

#include "builder/package/line_reporter.h"

namespace tw {

class ConsoleReporter final : public LineReporter {
 public:
  ConsoleReporter();
};

// Writes CP1252 text to stdout or stderr: as Unicode to a console, as the
// bytes themselves to a file or pipe.
void writeConsole(bool toError, const std::string& text);

}  // namespace tw
