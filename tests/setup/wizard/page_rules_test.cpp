// Type button layout, the component page rule and the summary text.
#include <gtest/gtest.h>

#include "setup/core/wizard/page_rules.h"

namespace tw {
namespace {

TEST(PageRules, TypeButtonsSpreadOverTheTemplateSpace) {
  // Buttons 501 at 20 and 504 at 120 in the template.
  EXPECT_EQ(typeButtonTops(1, 20, 120), std::vector<int>{70});
  EXPECT_EQ(typeButtonTops(2, 20, 120), (std::vector<int>{40, 100}));
  EXPECT_EQ(typeButtonTops(3, 20, 120), (std::vector<int>{30, 70, 110}));
  EXPECT_TRUE(typeButtonTops(4, 20, 120).empty());  // the template's own places
  EXPECT_EQ(typeButtonTops(3, 20, 29), (std::vector<int>{20, 20, 20}));  // buttons close together
}

TEST(PageRules, ComponentPageForCustomOrForNormalWithoutCustom) {
  EXPECT_TRUE(componentPageShown(kTypeIdCustom, true));
  EXPECT_FALSE(componentPageShown(kTypeIdNormal, true));
  EXPECT_TRUE(componentPageShown(kTypeIdNormal, false));
  EXPECT_FALSE(componentPageShown(kTypeIdMinimal, false));
  EXPECT_FALSE(componentPageShown(kTypeIdNetwork, false));
}

SummaryInput base() {
  SummaryInput in;
  in.typeName = "Benutzer";
  in.installDir = "C:\\Programme\\X";
  in.userHeading = "Benutzerdaten";
  in.typeHeading = "Setuptyp";
  in.dirHeading = "Zielordner";
  in.folderHeading = "Ordnername im Startmen\xFC";
  in.quickHeading = "Verkn\xFCpfung im Startmen\xFC";
  in.desktopHeading = "Desktop-Verkn\xFCpfung";
  return in;
}

TEST(PageRules, SummaryListsWhatWasChosen) {
  SummaryInput in = base();
  EXPECT_EQ(summaryText(in), "Setuptyp\r\n\tBenutzer\r\n\r\nZielordner\r\n\tC:\\Programme\\X\r\n");
  in.userName = "Anna";
  in.company = "Firma";
  in.programFolder = "X";
  in.shortcutOptionsShown = true;
  in.quickEntry = true;
  in.masked = {"X\\Programm", "X\\Extras\\Hilfe"};
  std::string text = summaryText(in);
  EXPECT_EQ(text.substr(0, 33), "Benutzerdaten\r\n\tAnna\r\n\tFirma\r\n\r\nS");
  EXPECT_NE(text.find("Verkn\xFCpfung im Startmen\xFC\r\n\tProgramm\r\n\tHilfe\r\n"), std::string::npos);
  EXPECT_EQ(text.find("Desktop"), std::string::npos);
  in.userName.clear();  // both are needed for the user block
  EXPECT_EQ(summaryText(in).find("Benutzerdaten"), std::string::npos);
  in.installDir = std::string(600, 'x');
  EXPECT_EQ(summaryText(in).size(), 511u);
}

}  // namespace
}  // namespace tw
