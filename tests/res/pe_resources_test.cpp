// The module resource writer: on DLLs the cross linker made (resources
// followed by relocations, and none at all), checked by reading back with
// our reader and with the cross toolchain's objdump, on the dispatcher template
// and the runtime's resource DLL of the win32 build, and on damaged modules.
#include "common/pe_resources.h"

#include "builder/package/pe_language_module.h"
#include "common/string_block.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>

namespace tw {
namespace {

std::vector<uint8_t> readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

uint32_t u32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

ResEntry entry(uint16_t type, uint16_t name, uint16_t language, const std::string& text) {
  ResEntry e;
  e.type = ResId::fromOrdinal(type);
  e.name = ResId::fromOrdinal(name);
  e.language = language;
  e.data.assign(text.begin(), text.end());
  return e;
}

ResEntry named(const std::u16string& type, const std::u16string& name, const std::string& text) {
  ResEntry e = entry(0, 0, 0, text);
  e.type = ResId::fromName(type);
  e.name = ResId::fromName(name);
  return e;
}

std::string key(const ResEntry& e) {
  auto id = [](const ResId& r) {
    return r.isOrdinal() ? std::to_string(r.ordinal) : std::string(r.name.begin(), r.name.end());
  };
  return id(e.type) + "/" + id(e.name) + "/" + std::to_string(e.language);
}

std::map<std::string, std::string> byKey(const std::vector<ResEntry>& entries) {
  std::map<std::string, std::string> out;
  for (auto& e : entries) out[key(e)] = std::string(e.data.begin(), e.data.end());
  return out;
}

// What objdump -p reports of the module: its resource leaves' sizes, in
// directory order, or "" when objdump is not there; "!" for complaints.
std::string objdumpLeaves(const std::vector<uint8_t>& module, const std::string& name) {
  if (std::string(TW_OBJDUMP).empty()) return "";
  std::string path = testing::TempDir() + name;
  writeBytes(path, module);
  std::string command = std::string(TW_OBJDUMP) + " -p " + path + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return "";
  std::string text;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
  if (pclose(pipe) != 0) return "!";
  std::istringstream lines(text);
  std::string line, leaves;
  while (std::getline(lines, line)) {
    if (line.find("orrupt") != std::string::npos || line.find("arning") != std::string::npos) return "!";
    size_t at = line.find("Leaf: Addr: ");
    if (at == std::string::npos) continue;
    size_t size = line.find("Size: ", at);
    leaves += std::to_string(std::stoul(line.substr(size + 6, 10), nullptr, 16)) + " ";
  }
  return leaves;
}

std::string leafSizes(const std::vector<ResEntry>& entries) {
  std::string out;
  for (auto& e : entries) out += std::to_string(e.data.size()) + " ";
  return out;
}

class ModuleTest : public testing::Test {
 protected:
  void SetUp() override {
    withResources_ = readBytes(TW_TEST_DLL);
    bare_ = readBytes(TW_TEST_BARE_DLL);
    ASSERT_GT(withResources_.size(), 512u);
    ASSERT_GT(bare_.size(), 512u);
  }
  std::vector<uint8_t> withResources_, bare_;
};

TEST_F(ModuleTest, ReadsWhatTheResourceCompilerWrote) {
  std::vector<ResEntry> entries;
  ASSERT_EQ(readPeResources(withResources_, entries), PeError::kOk);
  auto found = byKey(entries);
  ASSERT_EQ(found.size(), 4u);
  EXPECT_EQ(found.count("6/1/1033"), 1u);
  EXPECT_EQ(found.count("6/1/1031"), 1u);
  EXPECT_EQ(found.at("10/SETUP/1033"), "named resource");
  uint32_t ms = 0, ls = 0;
  ASSERT_TRUE(peFixedFileVersion(withResources_, ms, ls));
  EXPECT_EQ(ms, 0x00010002u);
  EXPECT_EQ(ls, 0x00030004u);
  EXPECT_FALSE(peFixedFileVersion(bare_, ms, ls));
  EXPECT_EQ(peVersionDigits(withResources_), "0003000400010002");
  EXPECT_EQ(peVersionDigits(bare_), "0000000000000000");
  // A version resource cut short is no version.
  std::vector<uint8_t> out;
  ASSERT_EQ(replacePeResources(withResources_, {entry(16, 1, 1033, std::string(50, 'v'))}, out), PeError::kOk);
  EXPECT_EQ(peVersionDigits(out), "0000000000000000");
}

TEST_F(ModuleTest, ReplacesSameNamedResourcesOfEveryLanguageBeforeTheRelocations) {
  std::vector<ResEntry> added = {entry(6, 1, 0, "neue Zeichenkette"), entry(10, 900, 0, std::string(5000, 'x')),
                                 entry(10, 0, 0, "renamed case")};
  added.back().name = ResId::fromName(u"Setup");
  std::vector<uint8_t> out;
  ASSERT_EQ(replacePeResources(withResources_, added, out), PeError::kOk);
  std::vector<ResEntry> back;
  ASSERT_EQ(readPeResources(out, back), PeError::kOk);
  auto found = byKey(back);
  // Both languages of string block 1 are gone, as is the named resource
  // that differs only in case; the version stays.
  EXPECT_EQ(found.size(), 4u);
  EXPECT_EQ(found.at("6/1/0"), "neue Zeichenkette");
  EXPECT_EQ(found.at("10/900/0"), std::string(5000, 'x'));
  EXPECT_EQ(found.at("10/Setup/0"), "renamed case");
  EXPECT_EQ(found.count("16/1/1033"), 1u);
  uint32_t ms = 0, ls = 0;
  EXPECT_TRUE(peFixedFileVersion(out, ms, ls));

  // The independent reader sees the same leaves, and the headers agree
  // with the file: relocations moved behind the grown section, image size,
  // checksum.
  std::string dumped = objdumpLeaves(out, "replaced.dll");
  if (!dumped.empty()) {
    EXPECT_EQ(dumped, leafSizes(back));
  }
  size_t pe = u32(out, 0x3C), optional = pe + 24;
  uint32_t relocations = u32(out, optional + 96 + 40), resources = u32(out, optional + 96 + 16);
  EXPECT_GT(relocations, resources + 5000);
  EXPECT_EQ(u32(out, optional + 56) % 0x1000, 0u);
  EXPECT_GE(u32(out, optional + 56), relocations + 12);
  EXPECT_EQ(out.size() % 0x200, 0u);
  EXPECT_EQ(u32(out, optional + 64), peImageChecksum(out, optional + 64));
  std::vector<uint8_t> again;
  ASSERT_EQ(replacePeResources(out, {}, again), PeError::kOk);
  EXPECT_EQ(again, out) << "binding nothing changes nothing";
}

TEST_F(ModuleTest, GivesAModuleWithoutResourcesItsSection) {
  std::vector<uint8_t> out;
  std::vector<ResEntry> added = {entry(16, 1, 0, "version"), entry(14, 3, 1031, "icons")};
  ASSERT_EQ(replacePeResources(bare_, added, out), PeError::kOk);
  std::vector<ResEntry> back;
  ASSERT_EQ(readPeResources(out, back), PeError::kOk);
  EXPECT_EQ(byKey(back), byKey(added));
  std::string dumped = objdumpLeaves(out, "added.dll");
  if (!dumped.empty()) {
    EXPECT_EQ(dumped, leafSizes(back));
  }
  // Everything before the new section is the old module but for the headers.
  size_t pe = u32(out, 0x3C);
  EXPECT_EQ(out[pe + 6], bare_[pe + 6] + 1);
  EXPECT_TRUE(std::equal(bare_.begin() + 0x400, bare_.end(), out.begin() + 0x400));
}

// The modules the builder binds into: the dispatcher template and the
// runtime's resource DLL of the win32 build, with what a build binds
// (profile-like entries, the file checks, a replaced resource).
TEST(ShippedModules, DispatcherAndRuntimeDllTakeTheBuildsResources) {
  for (const char* name : {"ZETUBODY.EXE", "ZETUSUM.DLL"}) {
    std::vector<uint8_t> module = readBytes(std::string(TW_WIN32_DIST) + "/" + name);
    if (module.empty()) GTEST_SKIP() << "no win32 build in " << TW_WIN32_DIST;
    std::vector<ResEntry> before;
    ASSERT_EQ(readPeResources(module, before), PeError::kOk) << name;
    // The dispatcher template has no resources yet; the resource DLL's
    // first one is replaced in every language.
    std::vector<ResEntry> added = {entry(10, 900, 0, std::string(111, 'c')), entry(6, 4000, 0, "Zeichenketten"),
                                   entry(2, 4001, 0, std::string(40000, 'b'))};
    ResEntry replaced = entry(10, 900, 0, "");
    if (!before.empty()) {
      replaced = before.front();
      replaced.language = 0;
      replaced.data.assign(700, 'r');
      added.push_back(replaced);
    }
    std::vector<uint8_t> out;
    ASSERT_EQ(replacePeResources(module, added, out), PeError::kOk) << name;
    std::vector<ResEntry> back;
    ASSERT_EQ(readPeResources(out, back), PeError::kOk) << name;
    auto expected = byKey(before);
    for (auto it = expected.begin(); it != expected.end();)
      it = it->first.rfind(key(replaced).substr(0, key(replaced).rfind('/') + 1), 0) == 0 ? expected.erase(it)
                                                                                         : std::next(it);
    for (auto& e : added) expected[key(e)] = std::string(e.data.begin(), e.data.end());
    EXPECT_EQ(byKey(back), expected) << name;
    std::string dumped = objdumpLeaves(out, std::string("bound-") + name);
    if (!dumped.empty()) {
      EXPECT_EQ(dumped, leafSizes(back)) << name;
    }
    size_t pe = u32(out, 0x3C), optional = pe + 24;
    EXPECT_EQ(u32(out, optional + 64), peImageChecksum(out, optional + 64)) << name;
    EXPECT_EQ(peVersionDigits(out), peVersionDigits(module)) << name << ": the version resource stays";
  }
}

TEST_F(ModuleTest, SameInputsGiveTheSameBytes) {
  std::vector<ResEntry> added = {entry(10, 900, 0, "a"), named(u"B", u"C", "d"), named(u"A", u"Z", "e")};
  std::vector<uint8_t> first, second;
  ASSERT_EQ(replacePeResources(withResources_, added, first), PeError::kOk);
  std::vector<ResEntry> reversed(added.rbegin(), added.rend());
  ASSERT_EQ(replacePeResources(withResources_, reversed, second), PeError::kOk);
  EXPECT_EQ(first, second);
}

TEST_F(ModuleTest, DamagedModulesAreRefusedWithNothingWritten) {
  std::vector<uint8_t> out = {1, 2, 3};
  auto refused = [&](std::vector<uint8_t> module, PeError expected, const char* what) {
    out = {1, 2, 3};
    EXPECT_EQ(replacePeResources(module, {entry(6, 1, 0, "x")}, out), expected) << what;
    EXPECT_EQ(out, (std::vector<uint8_t>{1, 2, 3})) << what;
  };
  size_t pe = u32(withResources_, 0x3C), optional = pe + 24;
  refused({'M', 'Z'}, PeError::kNotAModule, "short");
  auto m = withResources_;
  m[pe] = 'X';
  refused(m, PeError::kNotAModule, "no PE signature");
  m = withResources_;
  m.resize(pe + 30);
  refused(m, PeError::kHeaderPastEnd, "cut in the optional header");
  m = withResources_;
  m.resize(0x1100);
  refused(m, PeError::kBadSection, "cut in the resources");
  m = withResources_;
  // The root directory claims more entries than the section holds.
  m[0x1000 + 14] = 0xFF;
  m[0x1000 + 15] = 0x7F;
  refused(m, PeError::kBadResourceTree, "resource tree past its section");
  m = withResources_;
  m[optional + 96 + 32] = 0x10;  // a certificate
  refused(m, PeError::kSigned, "signed");
  m = withResources_;
  // The relocations no longer discardable: a section the writer cannot move.
  size_t table = optional + (withResources_[pe + 20] | withResources_[pe + 21] << 8);
  ASSERT_EQ(m[table + 8 * 40 + 1], 'r');
  m[table + 8 * 40 + 39] &= static_cast<uint8_t>(~0x02);
  refused(m, PeError::kSectionAfterResources, "data section after the resources");
}

TEST_F(ModuleTest, LanguageModuleFromBytesPrefersTheNeutralLanguage) {
  PeLanguageModule module;
  EXPECT_FALSE(module.load({'M', 'Z', 0}));
  EXPECT_EQ(module.text(0), "");
  // The compiled module has string 1 in English and German only: the first
  // in directory order (German, 1031) is taken.
  ASSERT_TRUE(module.load(withResources_));
  EXPECT_EQ(module.text(1), "erste");
  EXPECT_EQ(module.text(5), "");
  std::vector<uint8_t> out;
  std::vector<ResEntry> added = {entry(6, 626, 0, ""), entry(6, 626, 1033, "")};
  added[0].data = encodeStringBlock({"", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "Deutsch \xFC"});
  added[1].data = encodeStringBlock({"", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "English"});
  ASSERT_EQ(replacePeResources(withResources_, added, out), PeError::kOk);
  ASSERT_TRUE(module.load(out));
  EXPECT_EQ(module.text(10015), "Deutsch \xFC");
  std::vector<uint8_t> data;
  EXPECT_TRUE(module.findResource(10, 900, data) == false);
  ASSERT_TRUE(module.findResource(16, 1, data));
  EXPECT_GT(data.size(), 56u);
}

}  // namespace
}  // namespace tw
