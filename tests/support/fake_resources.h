// Resource fakes for host tests: a language module and a profile source
// backed by lists of entries.
#pragma once
#include <map>
#include <utility>
#include <vector>

#include "builder/package/build_context.h"
#include "common/install_profile.h"
#include "common/res_file.h"

namespace tw::test {

class FakeLanguageModule final : public LanguageModule {
 public:
  std::map<std::pair<uint16_t, uint16_t>, std::vector<uint8_t>> resources;
  bool findResource(uint16_t type, uint16_t id, std::vector<uint8_t>& data) const override {
    auto it = resources.find({type, id});
    if (it == resources.end()) return false;
    data = it->second;
    return true;
  }
  // Every resource the profile copies, with recognisable bytes.
  void fillComplete() {
    for (uint16_t d : {100, 101}) resources[{5, d}] = {uint8_t(d), 0xD1};
    for (uint16_t d = 200; d <= 215; ++d) resources[{5, d}] = {uint8_t(d), 0xD2};
    for (uint16_t b : {100, 101, 102, 104}) resources[{2, b}] = {uint8_t(b), 0xB1};
    resources[{6, 33}] = {1, 0, 'A', 0};
    resources[{6, 34}] = {1, 0, 'B', 0};
    resources[{6, 65}] = {1, 0, 'C', 0};
    resources[{16, 2}] = {0x56, 0x45};
    // Icon group 2 with two icons, ids 7 and 9.
    std::vector<uint8_t> group = {0, 0, 1, 0, 2, 0};
    for (uint16_t icon : {7, 9}) {
      std::vector<uint8_t> entry(14, 0xAA);
      entry[12] = uint8_t(icon);
      entry[13] = 0;
      group.insert(group.end(), entry.begin(), entry.end());
      resources[{3, icon}] = {uint8_t(icon), 0x1C};
    }
    resources[{14, 2}] = group;
  }
};

class EntriesSource final : public ResourceSource {
 public:
  explicit EntriesSource(const std::vector<ResEntry>& entries) : entries_(entries) {}
  bool find(uint16_t type, uint16_t id, const uint8_t*& data, size_t& size) const override {
    for (const ResEntry& e : entries_)
      if (e.type.isOrdinal() && e.type.ordinal == type && e.name.isOrdinal() && e.name.ordinal == id) {
        data = e.data.data();
        size = e.data.size();
        return true;
      }
    return false;
  }

 private:
  const std::vector<ResEntry>& entries_;
};

}  // namespace tw::test
