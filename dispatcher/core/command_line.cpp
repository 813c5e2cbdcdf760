// The command line that starts the runtime from the work folder.
#include "dispatcher/core/command_line.h"

#include "dispatcher/core/text_buffer.h"

namespace tw::dispatcher {
namespace {

bool blank(char c) { return c == ' ' || c == '\t'; }

// Copies the next argument (quotes dropped, as the runtime reads them) into
// out, cut at capacity; false at the end of the line.
bool nextArgument(const char*& p, char* out, std::size_t capacity) {
  while (blank(*p)) ++p;
  if (*p == '\0') return false;
  std::size_t n = 0;
  bool quoted = false;
  for (; *p != '\0'; ++p) {
    if (*p == '"') {
      quoted = !quoted;
      continue;
    }
    if (!quoted && blank(*p)) break;
    if (n + 1 < capacity) out[n++] = *p;
  }
  out[n] = '\0';
  return true;
}

}  // namespace

bool buildRuntimeCommandLine(const char* workFolder, const char* packagePath,
                             char* out, std::size_t capacity) {
  return buildRuntimeCommandLine(workFolder, packagePath, "", out, capacity);
}

bool buildRuntimeCommandLine(const char* workFolder, const char* packagePath,
                             const char* arguments, char* out,
                             std::size_t capacity) {
  if (capacity == 0) return false;
  out[0] = '\0';
  bool fits = appendText(out, capacity, "\"") &&
              appendText(out, capacity, workFolder) &&
              appendText(out, capacity, "_Setup.exe\" ZETUFINST \"") &&
              appendText(out, capacity, packagePath) &&
              appendText(out, capacity, "\"");
  if (fits && arguments[0] != '\0')
    fits = appendText(out, capacity, " ") && appendText(out, capacity, arguments);
  if (!fits) out[0] = '\0';
  return fits;
}

const char* argumentsAfterProgram(const char* commandLine) {
  const char* p = commandLine;
  while (blank(*p)) ++p;
  bool quoted = false;
  for (; *p != '\0'; ++p) {
    if (*p == '"') quoted = !quoted;
    else if (!quoted && blank(*p)) break;
  }
  while (blank(*p)) ++p;
  return p;
}

bool silentRequested(const char* arguments) {
  const char* p = arguments;
  char argument[16];
  while (nextArgument(p, argument, sizeof argument)) {
    if (argument[0] != '/' && argument[0] != '-') continue;
    if (equalsIgnoringCase(argument + 1, "S") ||
        equalsIgnoringCase(argument + 1, "PROGRESS"))
      return true;
  }
  return false;
}

bool logRequested(const char* arguments, char* out, std::size_t capacity) {
  const char* p = arguments;
  char argument[kSwitchesCapacity];
  bool found = false;
  if (capacity == 0) return false;
  out[0] = '\0';
  while (nextArgument(p, argument, sizeof argument)) {
    if (argument[0] != '/' && argument[0] != '-') continue;
    char name[4];
    std::size_t n = 0;
    while (n < 3 && argument[1 + n] != '\0') {
      name[n] = argument[1 + n];
      ++n;
    }
    name[n] = '\0';
    char sep = n == 3 ? argument[4] : '\0';
    if (!equalsIgnoringCase(name, "LOG") || (sep != '=' && sep != ':') || argument[5] == '\0') continue;
    out[0] = '\0';
    found = appendText(out, capacity, argument + 5);
  }
  if (!found) out[0] = '\0';
  return found;
}

bool relativePath(const char* path) {
  if (path[0] == '\\' || path[0] == '/') return false;
  return !(path[0] != '\0' && path[1] == ':');
}

}  // namespace tw::dispatcher
