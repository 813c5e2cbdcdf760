// The runtime's switches: splitting, names, values, what is refused.
#include <gtest/gtest.h>

#include "setup/core/unattended/switches.h"

namespace tw {
namespace {

using Args = std::vector<std::string>;

TEST(Switches, SplitKeepsQuotedBlanksAndBackslashes) {
  EXPECT_EQ(splitCommandLine("\"C:\\Tmp\\ZET01\\_Setup.exe\" ZETUFINST \"C:\\Down loads\\p.exe\" /S"),
            (Args{"C:\\Tmp\\ZET01\\_Setup.exe", "ZETUFINST", "C:\\Down loads\\p.exe", "/S"}));
  // Quotes inside an argument group its value; a backslash before a quote
  // is a path's last separator, not an escape.
  EXPECT_EQ(splitCommandLine("x /DIR=\"C:\\Program Files\\Neu\\\"  -log:\"C:\\a b.log\""),
            (Args{"x", "/DIR=C:\\Program Files\\Neu\\", "-log:C:\\a b.log"}));
  EXPECT_EQ(splitCommandLine(" \t "), Args{});
  EXPECT_EQ(splitCommandLine("a \"\" b"), (Args{"a", "", "b"}));
}

TEST(Switches, NamesIgnoreCaseAndPrefix) {
  Switches s = parseSwitches({"/s", "-NoShortcuts", "/nodesktop", "-NORESTART", "/Dir=D:\\Ziel", "-type:benutzer",
                              "/Group=Werkzeuge", "/USER=Ada", "/company=Firma & Co", "/LOG=C:\\x.log"});
  EXPECT_TRUE(s.bad.empty());
  EXPECT_TRUE(s.silent && s.noShortcuts && s.noDesktop && s.noRestart && s.unattended());
  EXPECT_EQ(s.dir, "D:\\Ziel");
  EXPECT_EQ(s.type, 503);
  EXPECT_EQ(s.group, "Werkzeuge");
  EXPECT_EQ(s.user, "Ada");
  EXPECT_EQ(s.company, "Firma & Co");
  EXPECT_EQ(s.log, "C:\\x.log");
  // A drive letter's colon belongs to the value.
  EXPECT_EQ(parseSwitches({"/DIR:C:\\X"}).dir, "C:\\X");
  // Quotes that survived the caller's own quoting are dropped.
  EXPECT_EQ(parseSwitches({"/DIR=\"C:\\A B\""}).dir, "C:\\A B");
}

TEST(Switches, TypesByNameOrNumber) {
  EXPECT_EQ(installationTypeFromName("Normal"), 501);
  EXPECT_EQ(installationTypeFromName("MINIMAL"), 502);
  EXPECT_EQ(installationTypeFromName("netzwerk"), 504);
  EXPECT_EQ(installationTypeFromName("503"), 503);
  EXPECT_EQ(installationTypeFromName("505"), 0);
  EXPECT_EQ(installationTypeFromName("Custom"), 0);
}

TEST(Switches, ComponentListsAreSplitAndTrimmed) {
  Switches s = parseSwitches({"/COMPONENTS=Programm, Hilfe ,,Beispiele"});
  EXPECT_TRUE(s.hasComponents);
  EXPECT_EQ(s.components, (Args{"Programm", "Hilfe", "Beispiele"}));
  // An empty list is a list: no optional component.
  Switches none = parseSwitches({"/COMPONENTS="});
  EXPECT_TRUE(none.hasComponents && none.components.empty() && none.bad.empty());
  EXPECT_TRUE(sameNameIgnoringCase("\xC4nderungen", "\xE4NDERUNGEN"));  // CP1252 umlauts
  EXPECT_FALSE(sameNameIgnoringCase("Hilfe", "Hilfen"));
}

TEST(Switches, WhatIsRefused) {
  // Unknown names, flags with values, values missing, a bare word, an
  // unknown type: each is listed as given.
  Switches s = parseSwitches({"/Q", "/S=1", "/DIR", "/DIR=", "/TYPE=Gross", "paket.exe", "/", "/LOG"});
  EXPECT_EQ(s.bad, (Args{"/Q", "/S=1", "/DIR", "/DIR=", "/TYPE=Gross", "paket.exe", "/", "/LOG"}));
  EXPECT_FALSE(s.silent);
  EXPECT_FALSE(s.hasDir);
  EXPECT_TRUE(s.any());
  EXPECT_FALSE(parseSwitches({}).any());
  EXPECT_TRUE(parseSwitches({"/PROGRESS"}).unattended());
  EXPECT_FALSE(switchUsage().empty());
}

}  // namespace
}  // namespace tw
