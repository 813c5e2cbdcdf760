// Fuzzes the runtime's command-line splitting and the switch parser with
// any line. Every argument either sets a switch or is listed as bad; the
// arguments never hold the quotes or blanks that separated them.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "setup/core/main/startup_rules.h"
#include "setup/core/unattended/switches.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string line(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> args = tw::splitCommandLine(line);
  size_t kept = 0;
  for (const std::string& a : args) {
    if (a.find('"') != std::string::npos) std::abort();
    kept += a.size();
  }
  if (kept > line.size()) std::abort();
  tw::SetupCommand command = tw::parseSetupCommand(args);
  tw::Switches s = tw::parseSwitches(command.switches);
  if (s.bad.size() > command.switches.size()) std::abort();
  if (s.type != 0 && (s.type < 501 || s.type > 504)) std::abort();
  if (s.hasDir && s.dir.empty()) std::abort();
  if (s.hasLog && s.log.empty()) std::abort();
  for (const std::string& c : s.components)
    if (c.empty() || c.find(',') != std::string::npos) std::abort();
  // A parse of what it understood finds nothing bad.
  if (s.bad.empty() && !tw::parseSwitches(command.switches).bad.empty()) std::abort();
  return 0;
}
