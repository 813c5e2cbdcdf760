// The background's settings strings and the bitmap headers it reads.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "common/string_block.h"
#include "setup/core/background/background_settings.h"
#include "setup/core/background/dib_layout.h"

namespace tw {
namespace {

class MapSource final : public ResourceSource {
 public:
  std::map<std::pair<uint16_t, uint16_t>, std::vector<uint8_t>> resources;
  bool find(uint16_t type, uint16_t id, const uint8_t*& data, size_t& size) const override {
    auto it = resources.find({type, id});
    if (it == resources.end()) return false;
    data = it->second.data();
    size = it->second.size();
    return true;
  }
  void strings(const std::vector<std::string>& first16) { resources[{6, 1}] = encodeStringBlock(first16); }
};

std::vector<std::string> settings(int id, const std::string& text, std::vector<std::string> s = {}) {
  if (s.size() < 16) s.resize(16);
  s[id] = text;
  return s;
}

TEST(BackgroundSettings, TitleTextTakesItsHeightFromTheLastCharacter) {
  MapSource p;
  auto s = settings(9, "Setup$");
  s = settings(7, "\x85\x01", s);
  s = settings(10, "#", s);
  s = settings(8, "\x01", s);
  s = settings(15, "\x02", s);
  p.strings(s);
  BackgroundSettings b = readBackgroundSettings(p);
  EXPECT_EQ(b.title, TitleKind::text);
  EXPECT_EQ(b.titleText, "Setup");
  EXPECT_EQ(b.titleHeight, 36);
  EXPECT_TRUE(b.logo);
  ASSERT_TRUE(b.hasLayout);
  // 0x85 passes the block as U+2026 and comes back as the same byte.
  EXPECT_EQ(b.logoCode, 0x85);
  EXPECT_EQ(b.titleCode, 0x01);
  EXPECT_EQ(b.colours.top, 0xFF0000u);
  EXPECT_EQ(b.colours.bottom, 0x400000u);
  EXPECT_EQ(b.styleBits, kStyleFullScreen);
}

TEST(BackgroundSettings, PicturesAndMissingStrings) {
  MapSource p;
  auto s = settings(9, "#");
  s = settings(10, "logo.bmp", s);  // anything but "#" is no logo
  s = settings(15, "\x04", s);
  p.strings(s);
  BackgroundSettings b = readBackgroundSettings(p);
  EXPECT_EQ(b.title, TitleKind::picture);
  EXPECT_FALSE(b.logo);
  EXPECT_FALSE(b.hasLayout);
  EXPECT_EQ(b.styleBits, kStyleFullScreen | kStyleSizeable);
  EXPECT_EQ(b.colours.top, 0x808000u);  // no scheme: teal to black
  EXPECT_EQ(b.colours.bottom, 0u);

  MapSource empty;
  BackgroundSettings none = readBackgroundSettings(empty);
  EXPECT_EQ(none.title, TitleKind::none);
  EXPECT_EQ(none.styleBits, 0);
  EXPECT_FALSE(none.hasLayout);

  // A one-character layout word still places the title (code 0: centred at the top).
  MapSource one;
  one.strings(settings(7, "\x83"));
  BackgroundSettings b1 = readBackgroundSettings(one);
  EXPECT_TRUE(b1.hasLayout);
  EXPECT_EQ(b1.logoCode, 0x83);
  EXPECT_EQ(b1.titleCode, 0);
}

std::vector<uint8_t> infoHeader(int32_t w, int32_t h, uint16_t bits, uint32_t used = 0) {
  std::vector<uint8_t> d(40, 0);
  auto put = [&](size_t at, uint32_t v, int n) { for (int i = 0; i < n; ++i) d[at + i] = uint8_t(v >> (8 * i)); };
  put(0, 40, 4);
  put(4, uint32_t(w), 4);
  put(8, uint32_t(h), 4);
  put(12, 1, 2);
  put(14, bits, 2);
  put(32, used, 4);
  return d;
}

TEST(DibLayout, SizesAndRows) {
  std::vector<uint8_t> dib = infoHeader(30, -20, 24);
  dib.resize(40 + 92 * 20);
  DibLayout l;
  ASSERT_TRUE(readDibLayout(dib.data(), dib.size(), l));
  EXPECT_EQ(l.width, 30);
  EXPECT_EQ(l.height, 20);  // top-down
  EXPECT_EQ(l.bitsOffset, 40u);
  EXPECT_EQ(l.bitsSize, 92u * 20);  // rows padded to 4 bytes

  std::vector<uint8_t> pal = infoHeader(8, 8, 8, 16);
  pal.resize(40 + 64 + 64);
  ASSERT_TRUE(readDibLayout(pal.data(), pal.size(), l));
  EXPECT_EQ(l.bitsOffset, 40u + 64);

  std::vector<uint8_t> core = {12, 0, 0, 0, 5, 0, 3, 0, 1, 0, 1, 0};
  core.resize(12 + 6 + 12);
  ASSERT_TRUE(readDibLayout(core.data(), core.size(), l));
  EXPECT_EQ(l.width, 5);
  EXPECT_EQ(l.height, 3);
  EXPECT_EQ(l.bitsOffset, 18u);
  EXPECT_EQ(l.bitsSize, 12u);
}

TEST(DibLayout, MalformedHeadersAreRefused) {
  DibLayout l;
  std::vector<uint8_t> cut = infoHeader(8, 8, 1);
  cut.resize(30);
  EXPECT_FALSE(readDibLayout(cut.data(), cut.size(), l));
  std::vector<uint8_t> hugePalette = infoHeader(8, 8, 8, 0x40000000);
  hugePalette.resize(200);
  EXPECT_FALSE(readDibLayout(hugePalette.data(), hugePalette.size(), l));
  std::vector<uint8_t> odd = infoHeader(8, 8, 1);
  odd[0] = 20;  // neither the core nor the info header
  EXPECT_FALSE(readDibLayout(odd.data(), odd.size(), l));
  // Rows missing at the end count only as far as they are there.
  std::vector<uint8_t> short_rows = infoHeader(1000, 1000, 24);
  short_rows.resize(100);
  ASSERT_TRUE(readDibLayout(short_rows.data(), short_rows.size(), l));
  EXPECT_EQ(l.bitsSize, 60u);
}

TEST(DibLayout, FadePatternsComeFromTheEndTowardsTheStart) {
  // Bitmap 104 as the language modules carry it: 8 x 32, one bit a pixel.
  std::vector<uint8_t> dib = infoHeader(8, 32, 1);
  dib.insert(dib.end(), {255, 255, 255, 0, 0, 0, 0, 0});
  for (int i = 0; i < 128; ++i) dib.push_back(uint8_t(i));
  const uint8_t* pattern = nullptr;
  ASSERT_TRUE(fadePattern(dib.data(), dib.size(), 0, pattern));
  EXPECT_EQ(pattern[0], 96);
  ASSERT_TRUE(fadePattern(dib.data(), dib.size(), 3, pattern));
  EXPECT_EQ(pattern[0], 0);
  EXPECT_FALSE(fadePattern(dib.data(), dib.size(), 4, pattern));
  dib.resize(dib.size() - 90);  // room for the first step's pattern only
  EXPECT_TRUE(fadePattern(dib.data(), dib.size(), 0, pattern));
  EXPECT_FALSE(fadePattern(dib.data(), dib.size(), 1, pattern));
}

}  // namespace
}  // namespace tw
