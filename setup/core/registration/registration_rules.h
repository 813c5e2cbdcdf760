// Names and values of the registration run: the application key, the
// per-user installation kind, DWORD data, link and App Paths names, the
// uninstall entry.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace tw {

// "Software\" company "\" application "\" version.
std::string applicationKeyPath(const std::string& company, const std::string& application,
                               const std::string& version);
// The per-user record: the application key's subkey ".INSTALL".
std::string installRecordKeyPath(const std::string& company, const std::string& application,
                                 const std::string& version);

// The broadest installation a user made: REGISTRY < SYSTEM < ADMIN.
enum class InstallKind { None = 0, Registry = 1, System = 2, Admin = 3 };
// Any text but "SYSTEM" and "ADMIN" reads as REGISTRY.
InstallKind installKindFromText(const std::string& text);
const char* installKindText(InstallKind kind);
// "TYPE" never narrows: the broader of what is stored and this run's kind.
InstallKind broaderKind(InstallKind stored, InstallKind run);

// REG_DWORD data from hexadecimal digits; nothing when the text is not a
// hexadecimal number of 32 bits (the value is then written without data).
std::optional<uint32_t> dwordFromHex(const std::string& text);

// The last part of a shortcut name (after its last backslash).
std::string shortcutCaption(const std::string& linkName);
// The link in the program folder: the whole name, subfolders included.
std::string programFolderLink(const std::string& programs, const std::string& folder, const std::string& linkName);
// The link directly in the Start menu's program list or on the desktop.
std::string directLink(const std::string& baseFolder, const std::string& linkName);

// "Software\Microsoft\Windows\CurrentVersion\App Paths\" + the target's file
// name, taken from the target as written in the profile.
std::string appPathsKey(const std::string& unexpandedTarget);
// The "Path" value: the expanded target's folder with its backslash.
std::string appPathsFolder(const std::string& expandedTarget);

// The uninstall entry: its key and "DisplayName".
std::string uninstallKeyPath(const std::string& application, const std::string& version);
std::string uninstallDisplayName(const std::string& application, const std::string& version);

}  // namespace tw
