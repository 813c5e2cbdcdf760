// Fuzzes the install profile readers: the input stands for every resource
// they look up, and aliases are expanded through whatever components it
// yields.
#include <cstdint>
#include <string>

#include "common/install_profile.h"

namespace {

class OneResource final : public tw::ResourceSource {
 public:
  OneResource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool find(uint16_t type, uint16_t id, const uint8_t*& data, size_t& size) const override {
    if (id > 3) return false;  // a few components, not an endless list
    data = data_;
    size = size_;
    return true;
  }

 private:
  const uint8_t* data_;
  size_t size_;
};

class NoFolders final : public tw::AliasFolders {
 public:
  std::string value(const std::string& alias) const override { return alias == "<WinDir>" ? "C:\\W" : ""; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  OneResource source(data, size);
  std::string text;
  for (int id = 0; id < 17; ++id) tw::readSettingString(source, id, text);
  tw::InstallationTypeRecord type;
  tw::readInstallationType(source, 0, type);
  tw::ShortcutTable table;
  tw::readShortcutTable(source, table);
  std::vector<tw::ComponentRecord> components = tw::readComponents(source);
  std::string input(reinterpret_cast<const char*>(data), size < 200 ? size : 200);
  tw::expandAliases(input, NoFolders(), components);
  for (const auto& c : components) tw::expandAliases(c.path, NoFolders(), components);
  return 0;
}
