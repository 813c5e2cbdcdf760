// Reading the background's settings strings.
#include "setup/core/background/background_settings.h"

namespace tw {
namespace {
uint8_t charAt(const std::string& s, size_t i) {
  return i < s.size() ? static_cast<uint8_t>(s[i]) : 0;
}
}  // namespace

BackgroundSettings readBackgroundSettings(const ResourceSource& profile) {
  BackgroundSettings out;
  std::string s;
  // The builder always writes a style character from 1 up; a profile
  // without one gets the plain window rather than every bit of c - 1 = -1.
  if (readSettingString(profile, kSettingWindowStyle, s)) out.styleBits = (charAt(s, 0) - 1) & 0xFFFF;
  out.colours = colourScheme(readSettingString(profile, kSettingColourScheme, s) ? charAt(s, 0) : 0);
  if (readSettingString(profile, kSettingLayout, s)) {
    out.hasLayout = true;
    out.logoCode = charAt(s, 0);
    out.titleCode = charAt(s, 1);
  }
  if (readSettingString(profile, kSettingTitle, s)) {
    if (s == "#") {
      out.title = TitleKind::picture;
    } else {
      out.title = TitleKind::text;
      out.titleHeight = charAt(s, s.size() - 1);
      out.titleText = s.substr(0, s.size() - 1);
    }
  }
  out.logo = readSettingString(profile, kSettingLogo, s) && s == "#";
  return out;
}

}  // namespace tw
