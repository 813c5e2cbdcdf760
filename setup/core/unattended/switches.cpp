// Switches of the runtime's command line.
#include "setup/core/unattended/switches.h"

namespace tw {
namespace {

// CP1252 letters folded to upper case: ASCII, and the accented letters
// 0xE0..0xFE (without the division sign 0xF7) to 0xC0..0xDE.
unsigned char upper(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 'a' + 'A');
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 0x20);
  return c;
}

std::string upperText(const std::string& text) {
  std::string out = text;
  for (char& c : out) c = static_cast<char>(upper(static_cast<unsigned char>(c)));
  return out;
}

std::string trimmed(const std::string& text) {
  size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string::npos) return {};
  size_t end = text.find_last_not_of(" \t");
  return text.substr(begin, end - begin + 1);
}

// A value may still carry quotes when the caller's tool quoted it twice.
std::string unquoted(std::string value) {
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
  return value;
}

}  // namespace

std::vector<std::string> splitCommandLine(const std::string& line) {
  std::vector<std::string> out;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i >= line.size()) break;
    std::string argument;
    bool quoted = false;
    for (; i < line.size(); ++i) {
      char c = line[i];
      if (c == '"') {
        quoted = !quoted;
        continue;
      }
      if (!quoted && (c == ' ' || c == '\t')) break;
      argument += c;
    }
    out.push_back(argument);
  }
  return out;
}

bool isSwitch(const std::string& argument) {
  return !argument.empty() && (argument[0] == '/' || argument[0] == '-');
}

bool sameNameIgnoringCase(const std::string& a, const std::string& b) { return upperText(a) == upperText(b); }

bool Switches::any() const {
  return silent || progressOnly || noShortcuts || noDesktop || noRestart || hasDir || hasGroup || hasUser ||
         hasCompany || hasLog || hasComponents || type != 0 || !bad.empty();
}

int installationTypeFromName(const std::string& name) {
  static const char* const kNames[] = {"NORMAL", "MINIMAL", "BENUTZER", "NETZWERK"};
  std::string upperName = upperText(trimmed(name));
  for (int i = 0; i < 4; ++i) {
    if (upperName == kNames[i]) return 501 + i;
    if (upperName == std::to_string(501 + i)) return 501 + i;
  }
  return 0;
}

Switches parseSwitches(const std::vector<std::string>& arguments) {
  Switches s;
  for (const std::string& argument : arguments) {
    if (!isSwitch(argument) || argument.size() < 2) {
      s.bad.push_back(argument);
      continue;
    }
    // The name runs up to "=" or ":"; a drive letter inside a value comes
    // after the first of them.
    size_t sep = argument.find_first_of("=:", 1);
    std::string name = upperText(argument.substr(1, sep == std::string::npos ? std::string::npos : sep - 1));
    bool hasValue = sep != std::string::npos;
    std::string value = hasValue ? unquoted(argument.substr(sep + 1)) : std::string();
    bool ok = true;
    if (name == "S" || name == "PROGRESS" || name == "NOSHORTCUTS" || name == "NODESKTOP" || name == "NORESTART") {
      ok = !hasValue;
      if (ok) {
        if (name == "S") s.silent = true;
        else if (name == "PROGRESS") s.progressOnly = true;
        else if (name == "NOSHORTCUTS") s.noShortcuts = true;
        else if (name == "NODESKTOP") s.noDesktop = true;
        else s.noRestart = true;
      }
    } else if (name == "DIR" || name == "LOG") {
      // A folder or a file needs a name.
      ok = hasValue && !trimmed(value).empty();
      if (ok && name == "DIR") {
        s.hasDir = true;
        s.dir = trimmed(value);
      } else if (ok) {
        s.hasLog = true;
        s.log = trimmed(value);
      }
    } else if (name == "TYPE") {
      int type = hasValue ? installationTypeFromName(value) : 0;
      ok = type != 0;
      if (ok) s.type = type;
    } else if (name == "COMPONENTS") {
      ok = hasValue;
      if (ok) {
        s.hasComponents = true;
        s.components.clear();
        size_t start = 0;
        for (;;) {
          size_t comma = value.find(',', start);
          std::string one = trimmed(value.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
          if (!one.empty()) s.components.push_back(one);
          if (comma == std::string::npos) break;
          start = comma + 1;
        }
      }
    } else if (name == "GROUP" || name == "USER" || name == "COMPANY") {
      ok = hasValue;
      if (ok && name == "GROUP") {
        s.hasGroup = true;
        s.group = trimmed(value);
      } else if (ok && name == "USER") {
        s.hasUser = true;
        s.user = value;
      } else if (ok) {
        s.hasCompany = true;
        s.company = value;
      }
    } else {
      ok = false;
    }
    if (!ok) s.bad.push_back(argument);
  }
  return s;
}

std::string switchUsage() {
  return "/S\tohne Fenster und ohne Fragen\r\n"
         "/PROGRESS\tnur Hintergrund und Kopierfortschritt\r\n"
         "/DIR=\"Ordner\"\tZielordner\r\n"
         "/TYPE=Normal|Minimal|Benutzer|Netzwerk\r\n"
         "/COMPONENTS=\"Name,Name\"\tKomponenten (Benutzer)\r\n"
         "/GROUP=\"Name\"\tProgrammordner\r\n"
         "/NOSHORTCUTS\tkeine Verkn\xFCpfungen im Startmen\xFC\r\n"
         "/NODESKTOP\tkeine Verkn\xFCpfungen auf dem Desktop\r\n"
         "/USER=\"Name\" /COMPANY=\"Firma\"\r\n"
         "/NORESTART\tnie neu starten\r\n"
         "/LOG=\"Datei\"\tProtokolldatei";
}

}  // namespace tw
