// Reads the install profile of a resource DLL with the runtime's profile
// reader and prints it as lines of ASCII (other bytes as \xNN), for the
// Wine tests:
//   profile_probe.exe MODULE.DLL OUT.txt
#include <windows.h>

#include <cstdio>
#include <string>

#include "common/install_profile.h"

namespace {

class ModuleResources final : public tw::ResourceSource {
 public:
  explicit ModuleResources(HMODULE m) : module_(m) {}
  bool find(uint16_t type, uint16_t id, const uint8_t*& data, size_t& size) const override {
    HRSRC r = FindResourceA(module_, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(type));
    HGLOBAL g = r ? LoadResource(module_, r) : nullptr;
    data = g ? static_cast<const uint8_t*>(LockResource(g)) : nullptr;
    size = r ? SizeofResource(module_, r) : 0;
    return data != nullptr;
  }

 private:
  HMODULE module_;
};

std::string printable(const std::string& s) {
  std::string out;
  for (unsigned char c : s) {
    if (c < 0x20 || c >= 0x80) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  HMODULE module = LoadLibraryExA(argv[1], nullptr, LOAD_LIBRARY_AS_DATAFILE);
  FILE* out = std::fopen(argv[2], "wb");
  if (!module || !out) return 1;
  ModuleResources profile(module);
  for (int id = 0; id <= 16; ++id) {
    std::string text;
    if (tw::readSettingString(profile, id, text)) std::fprintf(out, "string %d %s\n", id, printable(text).c_str());
  }
  for (int type = 0; type < 4; ++type) {
    tw::InstallationTypeRecord t;
    if (!tw::readInstallationType(profile, type, t)) continue;
    std::fprintf(out, "type %d %s preselected=%d nodes=%u:", type, t.name.c_str(), t.preselected ? 1 : 0,
                 static_cast<unsigned>(t.nodes.size()));
    for (const auto& n : t.nodes) std::fprintf(out, " %u/%d", n.childCount, n.component == 0xFFFF ? -1 : n.component);
    std::fprintf(out, "\n");
  }
  int number = 0;
  for (const tw::ComponentRecord& c : tw::readComponents(profile)) {
    std::fprintf(out, "component %d %s flags=%08lX size=%ld files=%u path=%s\n", number++, c.name.c_str(),
                 static_cast<unsigned long>(c.flags), static_cast<long>(c.size), c.fileCount, c.path.c_str());
    for (const auto& e : c.entries)
      std::fprintf(out, "  entry %d flags=%08lX %s\n", e.depth, static_cast<unsigned long>(e.flags),
                   printable(e.text).c_str());
  }
  tw::ShortcutTable table;
  if (tw::readShortcutTable(profile, table)) {
    std::fprintf(out, "shortcuts mask=%ld\n", static_cast<long>(table.mask));
    for (const auto& s : table.entries)
      std::fprintf(out, "  shortcut %s -> %s args=%s dir=%s icon=%s,%u paths=%u\n", s.linkName.c_str(),
                   s.target.c_str(), s.arguments.c_str(), s.workDir.c_str(), s.iconFile.c_str(), s.iconIndex,
                   s.appPathFlags);
  }
  std::fclose(out);
  FreeLibrary(module);
  return 0;
}
