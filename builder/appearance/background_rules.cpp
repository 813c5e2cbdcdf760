// Portable rules of the Installation page and its background preview.
#include "builder/appearance/background_rules.h"

#include <cctype>

namespace tw {

const char* const kColourSchemeNames[kColourSchemeCount] = {
    "Gradient Blau",  "Gradient Gr\xFCn",  "Gradient Magneta",  "Gradient Rot",  "Gradient Gelb",
    "Einfarbig Blau", "Einfarbig Gr\xFCn", "Einfarbig Magneta", "Einfarbig Rot", "Einfarbig Gelb",
    "Einfarbig Teal"};

const char* const kLogoPlacementNames[5] = {"Oben Links", "Oben Rechts", "Zentriert", "Unten Rechts",
                                            "Unten Links"};

int32_t mulDiv(int32_t a, int32_t b, int32_t c) {
  if (c == 0) return -1;
  int64_t product = static_cast<int64_t>(a) * b;
  bool negative = (product < 0) != (c < 0);
  uint64_t magnitude = static_cast<uint64_t>(product < 0 ? -product : product);
  uint64_t divisor = static_cast<uint64_t>(c < 0 ? -static_cast<int64_t>(c) : c);
  uint64_t q = (magnitude + divisor / 2) / divisor;
  int64_t result = negative ? -static_cast<int64_t>(q) : static_cast<int64_t>(q);
  if (result > INT32_MAX || result < INT32_MIN) return -1;
  return static_cast<int32_t>(result);
}

bool schemeIsGradient(int scheme) { return scheme >= 0 && scheme <= 4; }

Rgb schemeBaseColour(int scheme) {
  static const Rgb bases[5] = {{0, 0, 255}, {0, 255, 0}, {255, 0, 255}, {255, 0, 0}, {255, 255, 0}};
  if (scheme >= 0 && scheme <= 4) return bases[scheme];
  if (scheme >= 5 && scheme <= 9) return bases[scheme - 5];
  return {0, 128, 128};
}

static int bandChannel(int channel, int band) {
  int delta = (channel & 64) - channel;
  return channel + mulDiv(band, delta, 255);
}

Rgb gradientBandColour(const Rgb& base, int band) {
  return {bandChannel(base.r, band), bandChannel(base.g, band), bandChannel(base.b, band)};
}

int gradientBandTop(int top, int height, int band) { return top + mulDiv(band, height, kGradientBands); }

PixelRect placeBitmap(int code, int bitmapWidth, int bitmapHeight, int W, int H) {
  PixelRect r;
  r.width = bitmapWidth * W / 640;
  r.height = bitmapHeight * W / 640;
  int m = W * 10 / 640;
  switch (code) {
    case kPlaceTopLeft: r.x = m; r.y = m; break;
    case kPlaceTopRight: r.x = W - m - r.width; r.y = m; break;
    case kPlaceCentred: r.x = (W - r.width) / 2; r.y = (H - r.height) / 2; break;
    case kPlaceBottomRight: r.x = W - m - r.width; r.y = H - m - r.height; break;
    case kPlaceBottomLeft: r.x = m; r.y = H - m - r.height; break;
    default: r.x = (W - r.width) / 2; r.y = m; break;
  }
  return r;
}

int titlePlacement(TitleAlignment align) {
  switch (align) {
    case TitleAlignment::Centred: return kPlaceTopCentre;
    case TitleAlignment::Right: return kPlaceTopRight;
    default: return kPlaceTopLeft;
  }
}

// A decimal number of at most nine digits, optionally signed; false for
// anything else (empty text included).
static bool parseNumber(const std::string& text, int& value) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  if (i == text.size() || text.size() - i > 9) return false;
  int v = 0;
  for (; i < text.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
    v = v * 10 + (text[i] - '0');
  }
  value = negative ? -v : v;
  return true;
}

int titleHeightValue(const std::string& text) {
  int v = 0;
  return parseNumber(text, v) ? v : 36;
}

std::string titleHeightDigits(const std::string& text) {
  std::string out;
  for (char c : text)
    if (c >= '0' && c <= '9') out += c;
  return out;
}

std::string normalisedTitleHeight(const std::string& text) {
  int v = 0;
  if (!parseNumber(text, v) || v < 8 || v > 64) return "36";
  return text;
}

int titleFontHeight(int titleSize, int W) { return titleSize * W / 640; }

TitleLayout titleLayout(int titleSize, int W, int textWidth, TitleAlignment align) {
  TitleLayout t;
  t.fontHeight = titleFontHeight(titleSize, W);
  int m = W * 14 / 640;
  if (align == TitleAlignment::Centred) t.x = (W - textWidth) / 2;
  else if (align == TitleAlignment::Right) t.x = W - textWidth - m;
  else t.x = m;
  t.y = m;
  t.shift = W * 4 / 640;
  if (t.shift < 1) t.shift = 1;
  return t;
}

bool switchTitleMode(ProjectDocument& project, bool titleIsText) {
  if (project.RadioTitleText == titleIsText) return false;
  project.RadioTitleText = titleIsText;
  project.EditTitleBmp.swap(project.TitleAlternate);
  return true;
}

static bool hasDrive(const std::string& name) { return name.size() > 2 && name[1] == ':'; }

std::string resolveAgainstProject(const std::string& projectPath, const std::string& name) {
  if (hasDrive(name)) return name;
  return folderOfPath(projectPath) + "\\" + name;
}

static bool sameLetters(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

std::string relativeToProject(const std::string& projectPath, const std::string& chosen) {
  std::string folder = folderOfPath(projectPath);
  if (folder.empty()) return chosen;
  std::string prefix = folder + "\\";
  if (chosen.size() > prefix.size() && sameLetters(chosen.substr(0, prefix.size()), prefix))
    return chosen.substr(prefix.size());
  return chosen;
}

std::string componentRelativeName(const ProjectDocument& project, const std::string& chosen) {
  std::string component;
  TreeNode* root = project.fileComponentsRoot();
  if (root && !root->children.empty()) component = root->children.front()->text;
  return "[" + component + "]\\" + fileNameOfPath(chosen);
}

PixelRect scaleDesignRect(const PixelRect& design, int newWidth, int oldWidth, int newHeight,
                          int oldHeight) {
  PixelRect r;
  r.x = mulDiv(design.x, newWidth, oldWidth);
  r.width = mulDiv(design.x + design.width, newWidth, oldWidth) - r.x;
  r.y = mulDiv(design.y, newHeight, oldHeight);
  r.height = mulDiv(design.y + design.height, newHeight, oldHeight) - r.y;
  return r;
}

}  // namespace tw
