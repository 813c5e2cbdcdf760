// What the install profile says about the setup background: window style,
// colours, layout word, title and logo, read from the settings strings.
#pragma once
#include <cstdint>
#include <string>

#include "common/install_profile.h"
#include "setup/core/background/background_layout.h"

namespace tw {

constexpr int kStyleFullScreen = 1;  // maximized, topmost unless sizeable
constexpr int kStyleSizeable = 2;    // maximize box; the caption drags the window
constexpr uint8_t kLayoutFade = 0x80;  // bit 7 of a layout character

enum class TitleKind { none, text, picture };

struct BackgroundSettings {
  int styleBits = 0;
  SchemeColours colours{};
  bool hasLayout = false;  // string 7 present
  uint8_t logoCode = 0;    // bits 0-2 position, bit 7 fade
  uint8_t titleCode = 0;
  TitleKind title = TitleKind::none;
  std::string titleText;  // text mode: the title without its height character
  int titleHeight = 0;    // text mode: font height in pixels
  bool logo = false;      // bitmap 2 is the logo
};

// Strings 7, 8, 9, 10 and 15 of the profile.
BackgroundSettings readBackgroundSettings(const ResourceSource& profile);

}  // namespace tw
