// Version names, overwrite decisions, DOS times, in-use names, INI lines.
#include <gtest/gtest.h>

#include "setup/core/engine/file_rules.h"

namespace tw {
namespace {

TEST(FileRules, VersionDigitsComeLeastSignificantFirst) {
  auto v = versionFromCabinetName("0003000400010002app.dll");  // version 1.2.3.4
  ASSERT_TRUE(v);
  EXPECT_EQ(v->ms, 0x00010002u);
  EXPECT_EQ(v->ls, 0x00030004u);
  EXPECT_EQ(targetNameFromCabinetName("0003000400010002app.dll", true), "app.dll");
  EXPECT_EQ(targetNameFromCabinetName("0003000400010002app.dll", false), "0003000400010002app.dll");
  EXPECT_FALSE(versionFromCabinetName("short.dll"));
  EXPECT_FALSE(versionFromCabinetName("000300040001000Xapp.dll"));
}

TEST(FileRules, HigherVersionComparesMostSignificantFirst) {
  FileVersionPair v1005{0x00010000, 0x00000005}, v2001{0x00020000, 0x00000001}, v0999{0x00000009, 0x00090009};
  ExistingFile existing{0, v1005};
  EXPECT_TRUE(replacesExisting(OverwriteMode::IfHigherVersion, existing, 0, 0, v2001));   // 1.0.0.5 -> 2.0.0.1
  EXPECT_FALSE(replacesExisting(OverwriteMode::IfHigherVersion, existing, 0, 0, v0999));  // kept against 0.9.9.9
  EXPECT_TRUE(replacesExisting(OverwriteMode::IfHigherVersion, existing, 0, 0, v1005));   // equal: replaced
  EXPECT_TRUE(replacesExisting(OverwriteMode::IfHigherVersion, ExistingFile{0, std::nullopt}, 0, 0, v0999));
  // Unsigned halves: 0x8000... is higher, not negative.
  EXPECT_FALSE(isLowerVersion({0x80000000, 0}, {0x7FFFFFFF, 0xFFFFFFFF}));
}

TEST(FileRules, NewerDateIsJudgedAgainstTheCreationTime) {
  uint16_t date = static_cast<uint16_t>((2026 - 1980) << 9 | 12 << 5 | 8);  // 8 Dec 2026
  uint16_t time = static_cast<uint16_t>(10 << 11 | 30 << 5 | 0);           // 10:30:00
  uint64_t cab = dosDateTimeToFileTime(date, time);
  EXPECT_TRUE(replacesExisting(OverwriteMode::IfNewer, ExistingFile{cab - 1, std::nullopt}, date, time, {}));
  EXPECT_TRUE(replacesExisting(OverwriteMode::IfNewer, ExistingFile{cab, std::nullopt}, date, time, {}));
  EXPECT_FALSE(replacesExisting(OverwriteMode::IfNewer, ExistingFile{cab + 1, std::nullopt}, date, time, {}));
  EXPECT_TRUE(replacesExisting(OverwriteMode::Always, ExistingFile{~0ull, std::nullopt}, 0, 0, {}));
  EXPECT_FALSE(replacesExisting(OverwriteMode::Never, ExistingFile{0, std::nullopt}, date, time, {}));
}

TEST(FileRules, DosTimesAsTheSystemConvertsThem) {
  // File times count 100 ns from 1601; the Unix epoch lies at 116444736000000000.
  auto fromUnix = [](uint64_t seconds) { return 116444736000000000ull + seconds * 10000000ull; };
  EXPECT_EQ(dosDateTimeToFileTime(0x21, 0), fromUnix(315532800));  // 1 Jan 1980 00:00:00
  uint16_t date = static_cast<uint16_t>(20 << 9 | 2 << 5 | 29), time = static_cast<uint16_t>(23 << 11 | 59 << 5 | 29);
  EXPECT_EQ(dosDateTimeToFileTime(date, time), fromUnix(951868798));  // 29 Feb 2000 23:59:58
}

TEST(FileRules, InUseNamesAndIniLines) {
  EXPECT_EQ(inUseReplacementPath("C:\\X\\app.dll"), "C:\\X\\app.dl_");
  EXPECT_EQ(inUseReplacementPath("C:\\X\\app.dl_"), "C:\\X\\app.dl~");
  EXPECT_TRUE(iniLineKeptVerbatim(""));
  EXPECT_TRUE(iniLineKeptVerbatim("   "));
  EXPECT_TRUE(iniLineKeptVerbatim("  [Pfade]"));
  EXPECT_TRUE(iniLineKeptVerbatim("   ;"));
  EXPECT_FALSE(iniLineKeptVerbatim("Daten=<InstallDir>\\Daten"));
  EXPECT_FALSE(iniLineKeptVerbatim(";  "));
}

TEST(FileRules, ProgressCountsTheCabinetsBytes) {
  // A file's entry: 16 bytes, the name and its zero.
  EXPECT_EQ(progressFileEntry(0), 17u);
  EXPECT_EQ(progressFileEntry(8), 25u);
  // A data block: its 8-byte header and data; a block split over two
  // cabinets counts once, whole, when its second half arrives.
  EXPECT_EQ(progressDataBlock(false, 0, 4096), 4104u);
  EXPECT_EQ(progressDataBlock(true, 0, 1000), 0u);
  EXPECT_EQ(progressDataBlock(true, 1000, 3096), 4104u);
  // One cabinet with one folder, one file "a.txt" and one 100-byte block.
  uint64_t total = kProgressCabinetHeader + kProgressFolderEntry + progressFileEntry(5) + progressDataBlock(false, 0, 100);
  EXPECT_EQ(progressPosition(total, total, 0, 90), 90);
}

TEST(FileRules, ProgressPositionStaysInItsSpan) {
  EXPECT_EQ(progressPosition(0, 1000, 20, 80), 20);
  EXPECT_EQ(progressPosition(500, 1000, 20, 80), 60);
  EXPECT_EQ(progressPosition(1000, 1000, 20, 80), 100);
  // More done than the table promised never runs past the end.
  EXPECT_EQ(progressPosition(5000, 1000, 20, 80), 100);
  EXPECT_EQ(progressPosition(7, 0, 20, 80), 20);
  // Beyond 4 GiB the product does not overflow.
  const uint64_t big = 6ull << 30;
  EXPECT_EQ(progressPosition(big / 3, big, 0, 90), 30);
}

}  // namespace
}  // namespace tw
