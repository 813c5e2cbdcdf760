// The dialog sequence walk, the size texts and the setup type rows of the preview.
#include "builder/preview/preview_rules.h"

#include <gtest/gtest.h>

namespace tw {
namespace {

std::vector<bool> ticks(const char* marks) {
  std::vector<bool> v;
  for (const char* p = marks; *p; ++p) v.push_back(*p == 'x');
  return v;
}

TEST(NextDialogEntry, StepsOverUncheckedEntries) {
  auto list = ticks(".x..x.x");
  EXPECT_EQ(nextDialogEntry(list, 1, +1), 4);
  EXPECT_EQ(nextDialogEntry(list, 4, +1), 6);
  EXPECT_EQ(nextDialogEntry(list, 6, -1), 4);
  EXPECT_EQ(nextDialogEntry(list, 4, -1), 1);
}

TEST(NextDialogEntry, PastTheLastCheckedTakesTheNeighbourEvenUnchecked) {
  auto list = ticks("x.xx...");
  EXPECT_EQ(nextDialogEntry(list, 3, +1), 4);  // nothing checked after it
  EXPECT_EQ(nextDialogEntry(list, 5, +1), 6);
  EXPECT_EQ(nextDialogEntry(list, 6, +1), -1);  // the last entry: nothing happens
  EXPECT_EQ(nextDialogEntry(ticks(".x.."), 1, -1), 0);  // the first entry is reached unchecked
  EXPECT_EQ(nextDialogEntry(ticks("x..."), 0, -1), -1);
}

TEST(NextDialogEntry, RefusesWhatIsNoStep) {
  EXPECT_EQ(nextDialogEntry({}, 0, +1), -1);
  EXPECT_EQ(nextDialogEntry(ticks("xx"), 2, -1), -1);
  EXPECT_EQ(nextDialogEntry(ticks("xx"), 0, 0), -1);
  EXPECT_EQ(nextDialogEntry(ticks("x"), 0, +1), -1);
}

TEST(PreviewTexts, AppNameAndSizes) {
  EXPECT_EQ(previewAppName(""), "AppName");
  EXPECT_EQ(previewAppName("Notizblock"), "Notizblock");
  EXPECT_EQ(previewMegabytesText(0, true), "0,0 MB");
  EXPECT_EQ(previewMegabytesText(1, true), "0,1 MB");
  EXPECT_EQ(previewMegabytesText(1, false), "0,0 MB");
  EXPECT_EQ(previewMegabytesText(524288, false), "0,5 MB");
  EXPECT_EQ(previewMegabytesText(104857ull * 123, true), "12,3 MB");
  EXPECT_EQ(previewMegabytesText(104857ull * 123 + 1, true), "12,4 MB");
  EXPECT_EQ(previewMegabytesText(5ull << 30, false), "5120,0 MB");
  EXPECT_EQ(previewKilobytesText(0), "0 KB");
  EXPECT_EQ(previewKilobytesText(1), "1 KB");
  EXPECT_EQ(previewKilobytesText(2048), "2 KB");
  EXPECT_EQ(previewKilobytesText(2049), "3 KB");
}

TEST(PreviewTypeRows, FewerTypesSpreadOverTheAreaOfFour) {
  EXPECT_EQ(previewTypeRowTops(1, 30, 130), (std::vector<int>{80}));
  EXPECT_EQ(previewTypeRowTops(2, 30, 130), (std::vector<int>{50, 110}));
  EXPECT_EQ(previewTypeRowTops(3, 30, 130), (std::vector<int>{40, 80, 120}));
  EXPECT_EQ(previewTypeRowTops(4, 30, 120), (std::vector<int>{30, 60, 90, 120}));
  EXPECT_TRUE(previewTypeRowTops(0, 30, 130).empty());
}

TEST(PreviewTexts, SummaryAndBrowseCaption) {
  std::string s = previewSummaryText("Benutzerdaten", "Setuptyp", "Zielordner", "Ordner");
  EXPECT_EQ(s, "Benutzerdaten\r\n\tName\r\n\tFirma\r\n\r\nSetuptyp\r\n\tName des Setup-Typs\r\n\r\n"
               "Zielordner\r\n\tLaut Auswahl\r\n\r\nOrdner\r\n\tStartmen\xFC-Eintrag");
  EXPECT_EQ(previewSummaryText(std::string(600, 'a'), "", "", "").size(), 512u);
  EXPECT_EQ(previewBrowseCaption("Komponenten ", "Hilfe"), "Komponenten (Hilfe)");
  EXPECT_EQ(previewBrowseCaption("Komponenten (Hilfe)", "Beispiele"), "Komponenten (Beispiele)");
  EXPECT_EQ(previewBrowseCaption("Komponenten (Hilfe)", ""), "Komponenten ");
  EXPECT_EQ(previewBrowseCaption("K ", std::string(60, 'n')), "K (" + std::string(48, 'n') + ")");
}

}  // namespace
}  // namespace tw
