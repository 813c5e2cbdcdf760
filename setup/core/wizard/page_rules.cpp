// Page rules.
#include "setup/core/wizard/page_rules.h"

namespace tw {

std::vector<int> typeButtonTops(int presentTypes, int first, int last) {
  // One type sits at a half, two at a fifth and four fifths, three at the
  // tenths 1, 5 and 9 of the space between buttons 501 and 504.
  static const int kDivisor[] = {0, 2, 5, 10};
  static const int kFraction[][3] = {{0}, {1}, {1, 4}, {1, 5, 9}};
  std::vector<int> tops;
  if (presentTypes < 1 || presentTypes > 3) return tops;
  int gap = (last - first) / kDivisor[presentTypes];
  for (int k = 0; k < presentTypes; ++k) tops.push_back(first + kFraction[presentTypes][k] * gap);
  return tops;
}

bool componentPageShown(int selectedType, bool profileHasCustomType) {
  return selectedType == kTypeIdCustom || (selectedType == kTypeIdNormal && !profileHasCustomType);
}

namespace {

std::string captionOf(const std::string& linkName) {
  size_t sep = linkName.find_last_of('\\');
  return sep == std::string::npos ? linkName : linkName.substr(sep + 1);
}

void heading(std::string& out, const std::string& text) {
  if (!out.empty()) out += "\r\n";
  out += text + "\r\n\t";
}

void captions(std::string& out, const std::vector<std::string>& linkNames) {
  for (size_t i = 0; i < linkNames.size(); ++i) {
    if (i) out += "\r\n\t";
    out += captionOf(linkNames[i]);
  }
}

}  // namespace

std::string summaryText(const SummaryInput& in) {
  std::string out;
  if (!in.userName.empty() && !in.company.empty()) {
    heading(out, in.userHeading);
    out += in.userName + "\r\n\t" + in.company;
    out += "\r\n";
  }
  heading(out, in.typeHeading);
  out += in.typeName + "\r\n";
  heading(out, in.dirHeading);
  out += in.installDir + "\r\n";
  if (!in.programFolder.empty()) {
    heading(out, in.folderHeading);
    out += in.programFolder + "\r\n";
  }
  if (in.shortcutOptionsShown && in.quickEntry && !in.masked.empty()) {
    heading(out, in.quickHeading);
    captions(out, in.masked);
    out += "\r\n";
  }
  if (in.shortcutOptionsShown && in.desktop && !in.masked.empty()) {
    heading(out, in.desktopHeading);
    captions(out, in.masked);
    out += "\r\n";
  }
  if (out.size() > 511) out.resize(511);
  return out;
}

}  // namespace tw
