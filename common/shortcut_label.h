// Shortcut letters of control labels ("&Normal"): the setup type page puts
// the installation types' names on option buttons whose template labels
// carry the shortcut letters, and keeps one letter in each. Used by Setup
// and by the builder's preview alike.
#pragma once
#include <string>

namespace tw {

// The letter after a single "&" of `label`, folded to lower case (ASCII and
// the CP1252 letters with accents); 0 when the label marks none. "&&" is an
// ampersand, not a mark.
inline unsigned char shortcutLetter(const std::string& label) {
  for (size_t i = 0; i + 1 < label.size(); ++i) {
    if (label[i] != '&') continue;
    unsigned char c = static_cast<unsigned char>(label[i + 1]);
    if (c == '&') {
      ++i;
      continue;
    }
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) c = static_cast<unsigned char>(c + 32);
    return c;
  }
  return 0;
}

// `name` as the label of a control whose template label was
// `templateLabel`, with a shortcut letter that is not in `taken` (letters
// as shortcutLetter gives them): the template's letter where the name has
// it, else the name's first letter or digit still free. A name with an "&"
// of its own keeps it; a name without a free letter gets none.
inline std::string labelWithShortcut(const std::string& name, const std::string& templateLabel,
                                     const std::string& taken) {
  if (name.find('&') != std::string::npos) return name;
  auto fold = [](unsigned char c) {
    std::string one = "&";
    one += static_cast<char>(c);
    return shortcutLetter(one);
  };
  auto usable = [&](unsigned char c) {
    bool letter = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c >= 0xC0;
    return letter && c != 0xD7 && c != 0xF7 && taken.find(static_cast<char>(fold(c))) == std::string::npos;
  };
  size_t at = std::string::npos;
  unsigned char wanted = shortcutLetter(templateLabel);
  if (wanted)
    for (size_t i = 0; i < name.size() && at == std::string::npos; ++i)
      if (fold(static_cast<unsigned char>(name[i])) == wanted && usable(static_cast<unsigned char>(name[i]))) at = i;
  for (size_t i = 0; i < name.size() && at == std::string::npos; ++i)
    if (usable(static_cast<unsigned char>(name[i]))) at = i;
  if (at == std::string::npos) return name;
  return name.substr(0, at) + "&" + name.substr(at);
}

}  // namespace tw
