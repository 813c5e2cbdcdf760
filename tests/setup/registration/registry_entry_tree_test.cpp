// The entry-tree walks of the registration run against an in-memory registry.
#include <gtest/gtest.h>

#include "setup/core/registration/registry_entry_tree.h"
#include "tests/support/memory_registry.h"

namespace tw {
namespace {

using FakeRegistry = test::MemoryRegistry;

// A value's data as text, for comparing.
std::string bytes(const FakeRegistry::Value* v) { return std::string(v->data.begin(), v->data.end()); }

std::string expandX(const std::string& text) {
  std::string out = text;
  for (size_t at; (at = out.find("<X>")) != std::string::npos;) out.replace(at, 3, "C:\\X");
  return out;
}

ProfileEntry value(int depth, uint32_t kind, const std::string& name, const std::string& data) {
  return ProfileEntry{depth, 0, 0xC0 | kind, name + std::string(1, '\0') + data};
}
ProfileEntry key(int depth, uint32_t rule, const std::string& name) {
  return ProfileEntry{depth, 0, 0x80 | rule, name};
}
ComponentRecord component(uint32_t flags, const std::string& path, std::vector<ProfileEntry> entries) {
  ComponentRecord c;
  c.flags = flags;
  c.path = path;
  c.entries = std::move(entries);
  return c;
}

TEST(RegistryEntryTree, RootCodes) {
  RegistryRoot root;
  ASSERT_TRUE(registryComponentRoot(0x30085, root));
  EXPECT_EQ(root, RegistryRoot::LocalMachine);
  EXPECT_FALSE(registryComponentRoot(0x70084, root));  // the removal list is no registry data
  EXPECT_FALSE(registryComponentRoot(0x00080, root));
}

TEST(RegistryEntryTree, WritesEveryValueKind) {
  FakeRegistry reg;
  writeComponentTree(reg, RegistryRoot::CurrentUser,
                     component(0x20080, "Software\\Firma",
                               {value(1, 0, "(Standard)", "abc"), value(1, 1, "Pfad<X>", "<X>\\Daten"),
                                value(1, 2, "Erw", "%TEMP%"), value(1, 3, "Bin", std::string("\x01\x00\x02", 3)),
                                value(1, 4, "Zahl", "1A"), value(1, 4, "Kaputt", "1G")}),
                     expandX);
  const std::string k = "HKCU\\Software\\Firma";
  ASSERT_TRUE(reg.value(k, ""));
  EXPECT_EQ(reg.value(k, "")->type, kRegString);
  EXPECT_EQ(bytes(reg.value(k, "")), "abc");  // three characters, no terminating zero
  ASSERT_TRUE(reg.value(k, "PfadC:\\X"));     // the name goes through the aliases too
  EXPECT_EQ(bytes(reg.value(k, "PfadC:\\X")), "C:\\X\\Daten");
  EXPECT_EQ(reg.value(k, "Erw")->type, kRegExpandString);
  EXPECT_EQ(reg.value(k, "Bin")->type, kRegBinary);
  EXPECT_EQ(bytes(reg.value(k, "Bin")), std::string("\x01\x00\x02", 3));  // raw, zero bytes kept
  EXPECT_EQ(reg.value(k, "Zahl")->type, kRegDword);
  EXPECT_EQ(bytes(reg.value(k, "Zahl")), std::string("\x1A\0\0\0", 4));
  ASSERT_TRUE(reg.value(k, "Kaputt"));  // invalid digits: the value without data
  EXPECT_EQ(bytes(reg.value(k, "Kaputt")), "");
  EXPECT_FALSE(reg.value(k, "(Standard)"));
  EXPECT_EQ(reg.openCount, 0);
}

TEST(RegistryEntryTree, KeyThatCannotBeCreatedSkipsItsSubtreeOnly) {
  FakeRegistry reg;
  reg.refused.insert("HKLM\\Software\\Firma\\Gesperrt");
  writeComponentTree(reg, RegistryRoot::LocalMachine,
                     component(0x30080, "Software\\Firma",
                               {key(1, 0, "Gesperrt"), value(2, 1, "Weg", "1"), key(2, 0, "Tiefer"),
                                value(3, 1, "AuchWeg", "1"), key(1, 0, "A\\B"), key(2, 0, ""),
                                value(3, 1, "InB", "2"), value(1, 1, "Oben", "3")}),
                     expandX);
  EXPECT_FALSE(reg.has("HKLM\\Software\\Firma\\Gesperrt"));
  EXPECT_FALSE(reg.has("HKLM\\Software\\Firma\\Gesperrt\\Tiefer"));
  EXPECT_FALSE(reg.value("HKLM\\Software\\Firma", "AuchWeg"));
  ASSERT_TRUE(reg.value("HKLM\\Software\\Firma\\A\\B", "InB"));  // an unnamed key is its parent
  EXPECT_TRUE(reg.value("HKLM\\Software\\Firma", "Oben"));
  EXPECT_EQ(reg.openCount, 0);
}

TEST(RegistryEntryTree, RemovalFollowsTheKeyRules) {
  FakeRegistry reg;
  ComponentRecord c = component(0x20082, "Software\\Firma\\App",
                                {value(1, 1, "Eigen", "1"), key(1, 1, "Ganz"), value(2, 1, "G", "1"),
                                 key(1, 3, "Leer"), value(2, 1, "L", "1"), key(1, 3, "Fremd"),
                                 value(2, 4, "F", "2A"), key(1, 0, "Bleibt"), value(2, 1, "B", "1")});
  writeComponentTree(reg, RegistryRoot::CurrentUser, c, expandX);
  const std::string app = "HKCU\\Software\\Firma\\App";
  reg.put(app + "\\Ganz\\Fremd\\Tief", "x", "fremd");  // written by the application
  reg.keys[app + "\\Ganz\\Fremd"];
  reg.put(app + "\\Fremd", "Eigenes", "fremd");

  removeComponentTree(reg, RegistryRoot::CurrentUser, c, expandX);
  EXPECT_FALSE(reg.has(app + "\\Ganz"));          // rule 1: with the subkeys nobody installed
  EXPECT_FALSE(reg.has(app + "\\Ganz\\Fremd\\Tief"));
  EXPECT_FALSE(reg.has(app + "\\Leer"));          // rule 3, emptied
  ASSERT_TRUE(reg.has(app + "\\Fremd"));           // rule 3 with a foreign value
  EXPECT_FALSE(reg.value(app + "\\Fremd", "F"));
  EXPECT_TRUE(reg.value(app + "\\Fremd", "Eigenes"));
  EXPECT_TRUE(reg.has(app + "\\Bleibt"));         // rule 0 keeps the key, not its values
  EXPECT_FALSE(reg.value(app + "\\Bleibt", "B"));
  EXPECT_TRUE(reg.has(app));                      // rule 2 of the component: Fremd and Bleibt remain
  EXPECT_FALSE(reg.value(app, "Eigen"));
  EXPECT_EQ(reg.openCount, 0);

  reg.keys.erase(app + "\\Fremd");
  reg.keys.erase(app + "\\Bleibt");
  removeComponentTree(reg, RegistryRoot::CurrentUser, c, expandX);
  EXPECT_FALSE(reg.has(app));
  EXPECT_TRUE(reg.has("HKCU\\Software\\Firma"));  // parents of a component's key are not its to delete
}

TEST(RegistryEntryTree, KeyAndEmptyParentsStopAtTheFirstNonEmptyOrTheLimit) {
  FakeRegistry reg;
  reg.keys["HKCU\\Software"];
  reg.keys["HKCU\\Software\\Firma"];
  reg.keys["HKCU\\Software\\Firma\\Andere"];
  reg.keys["HKCU\\Software\\Firma\\App"];
  reg.keys["HKCU\\Software\\Firma\\App\\1.0"];
  reg.put("HKCU\\Software\\Firma\\App\\1.0\\.INSTALL", "TYPE", "ADMIN");
  EXPECT_EQ(deleteKeyAndEmptyParents(reg, RegistryRoot::CurrentUser, "Software\\Firma\\App\\1.0\\.INSTALL", 5), 3);
  EXPECT_FALSE(reg.has("HKCU\\Software\\Firma\\App"));
  EXPECT_TRUE(reg.has("HKCU\\Software\\Firma"));

  for (const char* k : {"HKLM\\Software", "HKLM\\Software\\Firma", "HKLM\\Software\\Firma\\App"}) reg.keys[k];
  reg.put("HKLM\\Software\\Firma\\App\\1.0", "User", "Eva");
  EXPECT_EQ(deleteKeyAndEmptyParents(reg, RegistryRoot::LocalMachine, "Software\\Firma\\App\\1.0", 2), 2);
  EXPECT_TRUE(reg.has("HKLM\\Software\\Firma"));
  EXPECT_EQ(deleteKeyAndEmptyParents(reg, RegistryRoot::LocalMachine, "Software\\Nie", 3), 0);

  // Already gone (taken by a component's key): its emptied parents still go.
  reg.keys["HKLM\\Software\\Firma\\Andere"];
  reg.keys["HKLM\\Software\\Firma\\Andere\\Neu"];
  EXPECT_EQ(deleteKeyAndEmptyParents(reg, RegistryRoot::LocalMachine, "Software\\Firma\\Andere\\Neu\\1.0", 3), 2);
  EXPECT_TRUE(reg.has("HKLM\\Software\\Firma"));
  EXPECT_EQ(reg.openCount, 0);
}

}  // namespace
}  // namespace tw
