// Dialog preview rules.
#include "builder/preview/preview_rules.h"

namespace tw {

int nextDialogEntry(const std::vector<bool>& checked, int selected, int direction) {
  int count = static_cast<int>(checked.size());
  if (count == 0 || selected < 0 || selected >= count || (direction != 1 && direction != -1)) return -1;
  int i = selected;
  do {
    i += direction;
  } while (i > 0 && i < count - 1 && !checked[static_cast<size_t>(i)]);
  if (i < 0 || i >= count || !checked[static_cast<size_t>(i)]) i = selected + direction;
  return i >= 0 && i < count ? i : -1;
}

std::string previewAppName(const std::string& name) { return name.empty() ? "AppName" : name; }

std::string previewMegabytesText(uint64_t bytes, bool roundUp) {
  const uint64_t kTenth = 104857;
  uint64_t tenths = bytes / kTenth + (roundUp && bytes % kTenth ? 1 : 0);
  std::string digits = std::to_string(tenths);
  if (digits.size() < 2) digits = "0" + digits;
  return digits.substr(0, digits.size() - 1) + "," + digits.substr(digits.size() - 1) + " MB";
}

std::string previewKilobytesText(uint64_t bytes) { return std::to_string((bytes + 1023) / 1024) + " KB"; }

std::vector<int> previewTypeRowTops(int present, int first, int last) {
  static const int kDivisor[] = {0, 2, 5, 10};
  static const int kFraction[][3] = {{0}, {1}, {1, 4}, {1, 5, 9}};
  std::vector<int> tops;
  if (present == 4) {
    for (int k = 0; k < 4; ++k) tops.push_back(first + k * (last - first) / 3);
    return tops;
  }
  if (present < 1 || present > 3) return tops;
  int gap = (last - first) / kDivisor[present];
  for (int k = 0; k < present; ++k) tops.push_back(first + kFraction[present][k] * gap);
  return tops;
}

std::string previewSummaryText(const std::string& user, const std::string& type, const std::string& dir,
                               const std::string& folder) {
  std::string text = user + "\r\n\tName\r\n\tFirma";
  text += "\r\n\r\n" + type + "\r\n\tName des Setup-Typs";
  text += "\r\n\r\n" + dir + "\r\n\tLaut Auswahl";
  text += "\r\n\r\n" + folder + "\r\n\tStartmen\xFC-Eintrag";
  if (text.size() > 512) text.resize(512);
  return text;
}

std::string previewBrowseCaption(const std::string& caption, const std::string& entered) {
  std::string base = caption.substr(0, caption.find('('));
  if (entered.empty()) return base;
  return base + "(" + entered.substr(0, 48) + ")";
}

}  // namespace tw
