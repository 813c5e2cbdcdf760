// Registration names and values.
#include <gtest/gtest.h>

#include "setup/core/registration/registration_rules.h"

namespace tw {
namespace {

TEST(RegistrationRules, TypeNeverNarrows) {
  EXPECT_EQ(broaderKind(installKindFromText("REGISTRY"), InstallKind::Admin), InstallKind::Admin);
  EXPECT_EQ(broaderKind(installKindFromText("ADMIN"), InstallKind::Registry), InstallKind::Admin);
  EXPECT_EQ(broaderKind(installKindFromText("SYSTEM"), InstallKind::Registry), InstallKind::System);
  EXPECT_EQ(installKindFromText("admin"), InstallKind::Registry);  // any other text reads as REGISTRY
  EXPECT_STREQ(installKindText(broaderKind(InstallKind::None, InstallKind::System)), "SYSTEM");
}

TEST(RegistrationRules, DwordDataFromHexDigits) {
  EXPECT_EQ(dwordFromHex("1A"), 26u);
  EXPECT_EQ(dwordFromHex("ffffffff"), 0xFFFFFFFFu);
  EXPECT_FALSE(dwordFromHex(""));
  EXPECT_FALSE(dwordFromHex("1G"));
  EXPECT_FALSE(dwordFromHex("100000000"));  // more than 32 bits
}

TEST(RegistrationRules, LinkAndKeyNames) {
  EXPECT_EQ(programFolderLink("C:\\P", "App", "A\\B\\C"), "C:\\P\\App\\A\\B\\C.lnk");
  EXPECT_EQ(directLink("C:\\P", "A\\B\\C"), "C:\\P\\C.lnk");
  EXPECT_EQ(appPathsKey("[Programmdateien]\\app.exe"),
            "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\app.exe");
  EXPECT_EQ(appPathsFolder("C:\\Programme\\X\\app.exe"), "C:\\Programme\\X\\");
  EXPECT_EQ(applicationKeyPath("Firma", "App", "1.8"), "Software\\Firma\\App\\1.8");
  EXPECT_EQ(installRecordKeyPath("Firma", "App", "1.8"), "Software\\Firma\\App\\1.8\\.INSTALL");
  EXPECT_EQ(uninstallKeyPath("App", "1.8"), "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\App 1.8");
}

}  // namespace
}  // namespace tw
