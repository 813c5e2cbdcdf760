// Rules of the wizard pages that are arithmetic or text: where the present
// installation types go on the setup type page, whether the custom page is
// shown, and the summary text.
#pragma once
#include <string>
#include <vector>

namespace tw {

// Top offsets (in the page's units) of the option buttons and descriptions
// of the present types, for 1 to 3 types; with 4 types the template's own
// positions stand (the result is empty). first = top of button 501,
// last = top of button 504.
std::vector<int> typeButtonTops(int presentTypes, int first, int last);

// Identifiers 501..504 of the installation types.
constexpr int kTypeIdNormal = 501, kTypeIdMinimal = 502, kTypeIdCustom = 503, kTypeIdNetwork = 504;

// The component page appears for the custom type, and for the normal type
// when the profile has no custom type.
bool componentPageShown(int selectedType, bool profileHasCustomType);

struct SummaryInput {
  std::string userName, company;
  std::string typeName;
  std::string installDir;
  std::string programFolder;            // empty: none
  bool shortcutOptionsShown = false;
  bool quickEntry = false, desktop = false;
  std::vector<std::string> masked;      // link names of the masked shortcuts
  // Headings 512, 514, 515, 516, 517, 526 of the language module.
  std::string userHeading, typeHeading, dirHeading, folderHeading, quickHeading, desktopHeading;
};
// The summary page's text, cut to the page's 512-byte buffer (511 characters).
std::string summaryText(const SummaryInput& in);

}  // namespace tw
