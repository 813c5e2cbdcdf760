// Runtime start-up rules.
#include "setup/core/main/startup_rules.h"

#include <cstdlib>
#include <cstring>

#include "common/run_folder.h"

namespace tw {

SetupCommand parseSetupCommand(const std::vector<std::string>& all) {
  SetupCommand c;
  std::vector<std::string> args;
  size_t first = 0;
  while (first < all.size() && !(all[first].size() > 0 && (all[first][0] == '/' || all[first][0] == '-'))) ++first;
  args.assign(all.begin(), all.begin() + static_cast<long>(first));
  c.switches.assign(all.begin() + static_cast<long>(first), all.end());
  if (args.empty()) {
    c.mode = SetupMode::Maintenance;
    c.startStep = 13;
  } else if (args.size() == 2 && args[0] == "ZETUFINST") {
    c.mode = SetupMode::Install;
    c.packagePath = args[1];
  } else if (args.size() == 2 && args[0] == "ZETUFINISH") {
    c.mode = SetupMode::Continuation;
    c.startStep = 12;
    c.installDir = args[1];
  } else if (args.size() == 1 && args[0] == "ZETUREMOVE") {
    c.mode = SetupMode::Uninstall;
    c.startStep = 14;
    c.askFirst = true;
  } else if (args.size() == 3 && args[0] == "ZETUREMOVE") {
    char* end = nullptr;
    unsigned long pid = std::strtoul(args[2].c_str(), &end, 10);
    if (end && *end == '\0' && !args[2].empty()) {
      c.mode = SetupMode::Uninstall;
      c.startStep = 14;
      c.installDir = args[1];
      c.waitForProcess = static_cast<uint32_t>(pid);
    }
  }
  return c;
}

std::string resourceDllPath(const std::string& programPath) {
  if (programPath.size() < 3) return programPath;
  return programPath.substr(0, programPath.size() - 3) + "DLL";
}

std::string sixteenBitSystemFolder(const std::string& systemFolder, bool ntFamily) {
  if (!ntFamily || systemFolder.size() < 2) return systemFolder;
  return systemFolder.substr(0, systemFolder.size() - 2);
}

std::string workFolderToRemove(const SetupCommand& command, const std::string& programPath,
                               const std::string& tempFolder) {
  if (command.mode != SetupMode::Install && command.mode != SetupMode::Continuation) return {};
  size_t sep = programPath.find_last_of('\\');
  if (sep == std::string::npos) return {};
  std::string name = programPath.substr(sep + 1);
  for (char& c : name)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  if (name != "_SETUP.EXE") return {};
  std::string folder = programPath.substr(0, sep);
  if (!isRunFolderIn(folder.c_str(), tempFolder.c_str())) return {};
  return folder;
}

bool sameUninstallRecord(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  uint16_t typeA = 0, typeB = 0, countA = 0, countB = 0;
  uint32_t lengthA = 0, lengthB = 0;
  if (readUninstallTrailer(a.data(), a.size(), typeA, countA, lengthA) != UninstallRecordError::ok ||
      readUninstallTrailer(b.data(), b.size(), typeB, countB, lengthB) != UninstallRecordError::ok)
    return false;
  if (lengthA != lengthB || lengthA > a.size() || lengthB > b.size()) return false;
  return std::memcmp(a.data() + a.size() - lengthA, b.data() + b.size() - lengthB, lengthA) == 0;
}

std::vector<ComponentEntry> buildComponentTable(const std::vector<ComponentRecord>& components) {
  std::vector<ComponentEntry> table;
  table.reserve(components.size());
  int16_t nextCabinet = 0;
  for (const ComponentRecord& r : components) {
    ComponentEntry e;
    e.flags = static_cast<uint16_t>(r.flags);
    e.state = (e.flags & kComponentNotSelectedAtStart) ? 0 : 1;
    e.size = r.size;
    bool registry = (e.flags & kComponentRegistry) != 0;
    e.directoriesCreated = registry ? -1 : 0;
    if (!registry && r.size != 0 && !(e.flags & kComponentUncompressed)) e.cabinetIndex = nextCabinet++;
    e.fileCount = registry ? 0 : r.fileCount;
    e.files = InstalledFiles(e.fileCount);
    table.push_back(e);
  }
  return table;
}

void addFileNeed(ComponentEntry& entry, uint64_t newSize, uint64_t replacedSize) {
  if (newSize > replacedSize) entry.needed += newSize - replacedSize;
}

uint64_t neededBytes(const std::vector<ComponentEntry>& table, const std::vector<int>& numbers,
                     const std::vector<bool>& counted) {
  uint64_t sum = 0;
  for (int number : numbers) {
    if (number < 0 || static_cast<size_t>(number) >= table.size()) continue;
    if (static_cast<size_t>(number) < counted.size() && counted[number]) sum += table[number].needed;
  }
  return sum;
}

}  // namespace tw
