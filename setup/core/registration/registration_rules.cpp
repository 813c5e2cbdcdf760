// Registration run names and values.
#include "setup/core/registration/registration_rules.h"

namespace tw {
namespace {
constexpr char kCurrentVersion[] = "Software\\Microsoft\\Windows\\CurrentVersion";

std::string afterLastBackslash(const std::string& s) {
  size_t sep = s.find_last_of('\\');
  return sep == std::string::npos ? s : s.substr(sep + 1);
}
}  // namespace

std::string applicationKeyPath(const std::string& company, const std::string& application,
                               const std::string& version) {
  return "Software\\" + company + "\\" + application + "\\" + version;
}

std::string installRecordKeyPath(const std::string& company, const std::string& application,
                                 const std::string& version) {
  return applicationKeyPath(company, application, version) + "\\.INSTALL";
}

InstallKind installKindFromText(const std::string& text) {
  if (text == "ADMIN") return InstallKind::Admin;
  if (text == "SYSTEM") return InstallKind::System;
  return InstallKind::Registry;
}

const char* installKindText(InstallKind kind) {
  switch (kind) {
    case InstallKind::Admin: return "ADMIN";
    case InstallKind::System: return "SYSTEM";
    default: return "REGISTRY";
  }
}

InstallKind broaderKind(InstallKind stored, InstallKind run) {
  return static_cast<int>(stored) > static_cast<int>(run) ? stored : run;
}

std::optional<uint32_t> dwordFromHex(const std::string& text) {
  if (text.empty() || text.size() > 8) return std::nullopt;
  uint32_t value = 0;
  for (char c : text) {
    int d = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
    if (d < 0) return std::nullopt;
    value = value << 4 | static_cast<uint32_t>(d);
  }
  return value;
}

std::string shortcutCaption(const std::string& linkName) { return afterLastBackslash(linkName); }

std::string programFolderLink(const std::string& programs, const std::string& folder, const std::string& linkName) {
  return programs + "\\" + folder + "\\" + linkName + ".lnk";
}

std::string directLink(const std::string& baseFolder, const std::string& linkName) {
  return baseFolder + "\\" + shortcutCaption(linkName) + ".lnk";
}

std::string appPathsKey(const std::string& unexpandedTarget) {
  return std::string(kCurrentVersion) + "\\App Paths\\" + afterLastBackslash(unexpandedTarget);
}

std::string appPathsFolder(const std::string& expandedTarget) {
  size_t sep = expandedTarget.find_last_of('\\');
  return sep == std::string::npos ? std::string() : expandedTarget.substr(0, sep + 1);
}

std::string uninstallKeyPath(const std::string& application, const std::string& version) {
  return std::string(kCurrentVersion) + "\\Uninstall\\" + uninstallDisplayName(application, version);
}

std::string uninstallDisplayName(const std::string& application, const std::string& version) {
  return application + " " + version;
}

}  // namespace tw
