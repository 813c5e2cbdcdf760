// Language module resources from the module's bytes.
#include "builder/package/pe_language_module.h"

#include "common/pe_resources.h"
#include "common/string_block.h"

namespace tw {

bool PeLanguageModule::load(const std::vector<uint8_t>& module) {
  resources_.clear();
  loaded_ = readPeResources(module, resources_) == PeError::kOk;
  if (!loaded_) resources_.clear();
  return loaded_;
}

bool PeLanguageModule::findResource(uint16_t type, uint16_t id, std::vector<uint8_t>& data) const {
  const ResEntry* found = nullptr;
  for (const ResEntry& e : resources_) {
    if (!e.type.isOrdinal() || e.type.ordinal != type || !e.name.isOrdinal() || e.name.ordinal != id) continue;
    if (!found || (e.language == 0 && found->language != 0)) found = &e;
  }
  if (!found) return false;
  data = found->data;
  return true;
}

std::string PeLanguageModule::text(int id) const {
  if (id < 0 || id > 0xFFFF) return {};
  std::vector<uint8_t> block;
  std::string out;
  if (!findResource(kResTypeString, static_cast<uint16_t>(id / 16 + 1), block) ||
      !decodeStringBlockEntry(block.data(), block.size(), id % 16, out))
    return {};
  if (out.size() > 1023) out.resize(1023);
  return out;
}

}  // namespace tw
