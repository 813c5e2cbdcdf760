// The profile readers on damaged data, and the path aliases.
#include <gtest/gtest.h>

#include <map>

#include "builder/package/profile_writer.h"
#include "common/install_profile.h"
#include "tests/support/fake_resources.h"

namespace tw {
namespace {

class Folders final : public AliasFolders {
 public:
  std::map<std::string, std::string> values = {
      {"<InstallDir>", "C:\\Programme\\X"}, {"<TempDir>", "C:\\TEMP\\"}, {"<WinDir>", "C:\\WINDOWS"}};
  std::string value(const std::string& alias) const override {
    auto it = values.find(alias);
    return it == values.end() ? std::string() : it->second;
  }
};

ComponentRecord component(const std::string& name, const std::string& path) {
  ComponentRecord c;
  c.name = name;
  c.path = path;
  return c;
}

TEST(Aliases, ExpandAsSetupDoes) {
  Folders f;
  std::vector<ComponentRecord> comps = {component("Programmdateien", "<InstallDir>"),
                                        component("Hilfe", "[Programmdateien]\\Hilfe"),
                                        component("A", "<WinDir>"),
                                        component("Leer", "")};
  EXPECT_EQ(expandAliases("<InstallDir>\\html", f, comps), "C:\\Programme\\X\\html");
  EXPECT_EQ(expandAliases("[Programmdateien]\\Setup.exe", f, comps), "C:\\Programme\\X\\Setup.exe");
  EXPECT_EQ(expandAliases("[Hilfe]\\a.hlp", f, comps), "C:\\Programme\\X\\Hilfe\\a.hlp");
  EXPECT_EQ(expandAliases("<TempDir>x", f, comps), "C:\\TEMP\\x");
  EXPECT_EQ(expandAliases("<X>", f, comps), "<X>");
  EXPECT_EQ(expandAliases("ab[A]", f, comps), "ab[A]");      // too close to the end
  EXPECT_EQ(expandAliases("[A]\\x", f, comps), "C:\\WINDOWS\\x");
  EXPECT_EQ(expandAliases("<CommonFilesDir>\\x", f, comps), "<CommonFilesDir>\\x");
  EXPECT_EQ(expandAliases("[Leer]\\x", f, comps), "[Leer]\\x");
  EXPECT_EQ(expandAliases("[Unbekannt]\\x", f, comps), "[Unbekannt]\\x");
  EXPECT_EQ(expandAliases("<installdir>\\x", f, comps), "<installdir>\\x");  // case-sensitive
  // The inserted text is not scanned again.
  f.values["<InstallDir>"] = "<WinDir>";
  EXPECT_EQ(expandAliases("<InstallDir>\\x", f, comps), "<WinDir>\\x");
}

TEST(Aliases, LoopsAndRepeatsAmongComponentsStayCheap) {
  Folders f;
  std::vector<ComponentRecord> loop = {component("A", "[B]\\a"), component("B", "[A]\\b")};
  // B's own alias of A is left as it is: the loop is cut where it closes.
  EXPECT_EQ(expandAliases("[A]\\x", f, loop), "[A]\\b\\a\\x");
  // Each level names the next one twice: 2^40 copies if expanded naively.
  std::vector<ComponentRecord> chain;
  for (int i = 0; i < 40; ++i)
    chain.push_back(component("K" + std::to_string(i), "[K" + std::to_string(i + 1) + "][K" + std::to_string(i + 1) + "]"));
  chain.push_back(component("K40", "<WinDir>"));
  std::string out = expandAliases("[K0]\\x", f, chain);
  EXPECT_LE(out.size(), 70000u);
  EXPECT_EQ(out.substr(0, 20), "C:\\WINDOWSC:\\WINDOWS");
}

TEST(ProfileReaders, TruncatedResourcesAreRejected) {
  // A component record cut at every length: the reader never reads past it.
  std::vector<uint8_t> full = {3, 0, 0, 0,  1, 'N', 0, 0, 0, 9, 0, 0, 0, 1, 0, 0x80, 0, 0, 0,
                               1, 'P', 0,   0, 0,   0x46, 0, 0, 0, 2, 'f', 'x', 0};
  for (size_t cut = 0; cut < full.size(); ++cut) {
    std::vector<ResEntry> entries = {makeResEntry(101, 1, std::vector<uint8_t>(full.begin(), full.begin() + cut))};
    test::EntriesSource source(entries);
    ComponentRecord r;
    EXPECT_FALSE(readComponent(source, 0, r)) << cut;
  }
  std::vector<ResEntry> entries = {makeResEntry(101, 1, full)};
  test::EntriesSource source(entries);
  ComponentRecord r;
  ASSERT_TRUE(readComponent(source, 0, r));
  EXPECT_EQ(r.entries.size(), 1u);

  // A type whose node count promises more than the data holds.
  std::vector<ResEntry> types = {makeResEntry(100, 1, {0xFF, 0xFF, 0, 0, 1, 0, 0, 0, 0})};
  test::EntriesSource typeSource(types);
  InstallationTypeRecord t;
  EXPECT_FALSE(readInstallationType(typeSource, 0, t));

  // A shortcut command block without its four terminators.
  std::vector<ResEntry> shortcuts = {makeResEntry(102, 1, {1, 0, 0, 0, 1, 0, 0, 0, 1, 'a', 0, 2, 'x', 0, 0})};
  test::EntriesSource shortcutSource(shortcuts);
  ShortcutTable table;
  EXPECT_FALSE(readShortcutTable(shortcutSource, table));
}

}  // namespace
}  // namespace tw
