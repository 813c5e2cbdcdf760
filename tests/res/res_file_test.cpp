// Tests of the resource file reader and writer.
#include "common/res_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

ResEntry entry(ResId type, ResId name, std::vector<uint8_t> data) {
  ResEntry e;
  e.type = std::move(type);
  e.name = std::move(name);
  e.data = std::move(data);
  return e;
}

ResEntry ordinalEntry(uint16_t type, uint16_t name, std::vector<uint8_t> data) {
  ResEntry e = entry(ResId::fromOrdinal(type), ResId::fromOrdinal(name), std::move(data));
  e.memoryFlags = resMemoryFlagsFor(type);
  return e;
}

std::vector<uint8_t> written(const std::vector<ResEntry>& entries) {
  std::vector<uint8_t> out;
  EXPECT_EQ(writeResFile(entries, out), ResError::kOk);
  return out;
}

ResError parse(const std::vector<uint8_t>& bytes, std::vector<ResEntry>& entries) {
  return readResFile(bytes.data(), bytes.size(), entries);
}

uint32_t get32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24;
}

void set32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (8 * i));
}

void expectSame(const ResEntry& a, const ResEntry& b) {
  EXPECT_EQ(a.type, b.type);
  EXPECT_EQ(a.name, b.name);
  EXPECT_EQ(a.dataVersion, b.dataVersion);
  EXPECT_EQ(a.memoryFlags, b.memoryFlags);
  EXPECT_EQ(a.language, b.language);
  EXPECT_EQ(a.version, b.version);
  EXPECT_EQ(a.characteristics, b.characteristics);
  EXPECT_EQ(a.data, b.data);
}

// The first entry after the empty one starts at offset 32.
constexpr size_t kFirst = 32;

}  // namespace

TEST(ResFileLayout, EmptyEntryHeadsEveryFile) {
  const std::vector<uint8_t> expected = {
      0, 0, 0, 0, 32, 0, 0, 0, 0xFF, 0xFF, 0, 0, 0xFF, 0xFF, 0, 0,
      0, 0, 0, 0, 0,  0, 0, 0, 0,    0,    0, 0, 0,    0,    0, 0};
  EXPECT_EQ(written({}), expected);
  std::vector<ResEntry> entries;
  EXPECT_EQ(parse(expected, entries), ResError::kOk);
  EXPECT_TRUE(entries.empty());
}

TEST(ResFileLayout, OrdinalHeaderFieldsSitAtTheirOffsets) {
  ResEntry e = ordinalEntry(kResTypeDialog, 200, {1, 2, 3, 4});
  e.dataVersion = 0x11223344;
  e.language = 0x0407;
  e.version = 0x55667788;
  e.characteristics = 0x99AABBCC;
  const std::vector<uint8_t> b = written({e});
  ASSERT_EQ(b.size(), kFirst + 32 + 4);
  EXPECT_EQ(get32(b, kFirst + 0), 4u);             // data size
  EXPECT_EQ(get32(b, kFirst + 4), 32u);            // header size
  EXPECT_EQ(get32(b, kFirst + 8), 0x0005FFFFu);    // type marker, type
  EXPECT_EQ(get32(b, kFirst + 12), 0x00C8FFFFu);   // name marker, name
  EXPECT_EQ(get32(b, kFirst + 16), 0x11223344u);   // data version
  EXPECT_EQ(get32(b, kFirst + 20), 0x04071030u);   // memory flags, language
  EXPECT_EQ(get32(b, kFirst + 24), 0x55667788u);   // version
  EXPECT_EQ(get32(b, kFirst + 28), 0x99AABBCCu);   // characteristics
  EXPECT_EQ(get32(b, kFirst + 32), 0x04030201u);   // data
}

TEST(ResFileLayout, BitmapsAreNotDiscardable) {
  EXPECT_EQ(resMemoryFlagsFor(kResTypeBitmap), 0x0030);
  EXPECT_EQ(resMemoryFlagsFor(kResTypeIcon), 0x1030);
  EXPECT_EQ(resMemoryFlagsFor(101), 0x1030);
}

TEST(ResFileLayout, BuilderHeaderOfABitmap) {
  // Bitmap 3, 40 data bytes, written right after the empty entry.
  std::vector<uint8_t> bytes;
  ASSERT_EQ(resHeaderBytes(32, resOrdinalHeader(kResTypeBitmap, 3), 40, bytes), ResError::kOk);
  const std::vector<uint8_t> expected = {
      40, 0, 0, 0, 32, 0, 0, 0, 0xFF, 0xFF, 2, 0, 0xFF, 0xFF, 3, 0,
      0,  0, 0, 0, 0x30, 0, 0, 0, 0,    0,    0, 0, 0,    0,    0, 0};
  EXPECT_EQ(bytes, expected);
}

TEST(ResFileLayout, NamedTypeAndNameArePaddedToDword) {
  // "AB" + terminator = 6 bytes, "XYZ" + terminator = 8 bytes: 14 bytes of
  // ids after the 8-byte prefix make 22, padded to 24, plus 16 = 40.
  const std::vector<uint8_t> b = written(
      {entry(ResId::fromName(u"AB"), ResId::fromName(u"XYZ"), {9})});
  EXPECT_EQ(get32(b, kFirst + 4), 40u);
  EXPECT_EQ(b[kFirst + 8], 'A');
  EXPECT_EQ(b[kFirst + 12], 0);
  EXPECT_EQ(b[kFirst + 14], 'X');
  EXPECT_EQ(b[kFirst + 20], 0);  // terminator of XYZ
  EXPECT_EQ(b[kFirst + 22], 0);  // padding
  EXPECT_EQ(b[kFirst + 40], 9);  // data right after the header
}

TEST(ResFileLayout, OddLengthDataIsPaddedBeforeTheNextEntry) {
  const std::vector<uint8_t> b = written(
      {ordinalEntry(110, 1, {1, 2, 3, 4, 5}), ordinalEntry(110, 2, {6})});
  // 32 + 32 + 5 = 69, three zero bytes, the next header at 72.
  EXPECT_EQ(b[69], 0);
  EXPECT_EQ(b[70], 0);
  EXPECT_EQ(b[71], 0);
  EXPECT_EQ(get32(b, 72), 1u);
  EXPECT_EQ(get32(b, 72 + 12), 0x0002FFFFu);
  EXPECT_EQ(b.size() % 4, 0u);  // the last data are padded too
}

TEST(ResFileLayout, StreamedHeaderAlignsFromTheGivenPosition) {
  std::vector<uint8_t> bytes;
  ASSERT_EQ(resHeaderBytes(69, ordinalEntry(6, 1, {}), 10, bytes), ResError::kOk);
  ASSERT_EQ(bytes.size(), 3u + 32u);
  EXPECT_EQ(bytes[0] | bytes[1] | bytes[2], 0);
  EXPECT_EQ(get32(bytes, 3), 10u);
  ASSERT_EQ(resHeaderBytes(72, ordinalEntry(6, 1, {}), 10, bytes), ResError::kOk);
  EXPECT_EQ(bytes.size(), 32u);
}

TEST(ResFileRoundTrip, MixedEntriesComeBackUnchanged) {
  ResEntry named = entry(ResId::fromName(u"ZETUDATA"), ResId::fromName(u"\u00C4RGER"),
                         {0xDE, 0xAD, 0xBE});
  named.language = 0x0409;
  named.memoryFlags = 0x0010;
  ResEntry mixed = entry(ResId::fromOrdinal(kResTypeString), ResId::fromName(u"N"), {});
  ResEntry typeNamed = entry(ResId::fromName(u"TYPELONGERNAME"), ResId::fromOrdinal(7),
                             std::vector<uint8_t>(1001, 0x5A));
  const std::vector<ResEntry> original = {
      ordinalEntry(kResTypeBitmap, 1, {1, 2}), named, mixed, typeNamed,
      ordinalEntry(kResTypeVersion, 1, {1, 2, 3})};
  const std::vector<uint8_t> bytes = written(original);
  std::vector<ResEntry> back;
  ASSERT_EQ(parse(bytes, back), ResError::kOk);
  ASSERT_EQ(back.size(), original.size());
  for (size_t i = 0; i < back.size(); ++i) expectSame(back[i], original[i]);
  EXPECT_EQ(written(back), bytes);
}

TEST(ResFileRoundTrip, OrdinalAndNamedIdsDiffer) {
  const std::vector<uint8_t> bytes = written(
      {entry(ResId::fromOrdinal(100), ResId::fromOrdinal(1), {1}),
       entry(ResId::fromName(u"100"), ResId::fromName(u"1"), {2})});
  std::vector<ResEntry> back;
  ASSERT_EQ(parse(bytes, back), ResError::kOk);
  ASSERT_EQ(back.size(), 2u);
  EXPECT_TRUE(back[0].type.isOrdinal());
  EXPECT_EQ(back[0].type.ordinal, 100);
  EXPECT_FALSE(back[1].type.isOrdinal());
  EXPECT_EQ(back[1].type.name, u"100");
  EXPECT_EQ(back[1].name.name, u"1");
  EXPECT_NE(back[0].type, back[1].type);
}

TEST(ResFileRoundTrip, UnpaddedLastEntryIsAccepted) {
  std::vector<uint8_t> bytes = written({ordinalEntry(110, 1, {1, 2, 3, 4, 5})});
  bytes.resize(bytes.size() - 3);  // as a writer that aligns only before entries
  std::vector<ResEntry> back;
  ASSERT_EQ(parse(bytes, back), ResError::kOk);
  ASSERT_EQ(back.size(), 1u);
  EXPECT_EQ(back[0].data.size(), 5u);
}

TEST(ResFileRoundTrip, JoinedFilesReadAsOne) {
  std::vector<uint8_t> bytes = written({ordinalEntry(110, 1, {1, 2, 3})});
  const std::vector<uint8_t> second = written({ordinalEntry(110, 2, {4})});
  bytes.insert(bytes.end(), second.begin(), second.end());
  std::vector<ResEntry> back;
  ASSERT_EQ(parse(bytes, back), ResError::kOk);
  ASSERT_EQ(back.size(), 2u);
  EXPECT_EQ(back[1].name, ResId::fromOrdinal(2));
  EXPECT_EQ(back[1].data, (std::vector<uint8_t>{4}));
}

TEST(ResFileWriter, RefusesIdsNoReaderCouldUse) {
  std::vector<uint8_t> out;
  EXPECT_EQ(writeResFile({ordinalEntry(0, 1, {})}, out), ResError::kBadName);
  EXPECT_EQ(writeResFile({ordinalEntry(5, 0, {})}, out), ResError::kBadName);
  const ResId withZero = ResId::fromName(std::u16string(u"A\0B", 3));
  EXPECT_EQ(writeResFile({entry(withZero, ResId::fromOrdinal(1), {})}, out),
            ResError::kBadName);
  const ResId lookalike = ResId::fromName(u"\uFFFFX");  // would read as ordinal
  EXPECT_EQ(writeResFile({entry(ResId::fromOrdinal(1), lookalike, {})}, out),
            ResError::kBadName);
}

TEST(ResFileWriter, RefusesDataBeyondThe32BitSize) {
  std::vector<uint8_t> bytes;
  EXPECT_EQ(resHeaderBytes(0, ordinalEntry(10, 1, {}), uint64_t(1) << 32, bytes),
            ResError::kTooLarge);
}

// Malformed files, each named after the fault it provokes. All start from a
// valid file with one named and one ordinal entry.
class ResFileMalformed : public ::testing::Test {
 protected:
  void SetUp() override {
    bytes = written({entry(ResId::fromName(u"AB"), ResId::fromOrdinal(1), {1, 2, 3}),
                     ordinalEntry(10, 2, {4, 5, 6, 7})});
    // First entry: header 8 + 6 + 4 = 18, padded 20, + 16 = 36 bytes.
    second = kFirst + 36 + 4;
  }
  ResError result() {
    std::vector<ResEntry> entries;
    return parse(bytes, entries);
  }
  std::vector<uint8_t> bytes;
  size_t second = 0;
};

TEST_F(ResFileMalformed, ValidBaseParses) {
  std::vector<ResEntry> entries;
  ASSERT_EQ(parse(bytes, entries), ResError::kOk);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[1].data, (std::vector<uint8_t>{4, 5, 6, 7}));
}

TEST_F(ResFileMalformed, EmptyFile) {
  bytes.clear();
  EXPECT_EQ(result(), ResError::kNoEmptyEntry);
}

TEST_F(ResFileMalformed, SixteenBitResFile) {
  // A 16-bit file starts with 0xFF and an ordinal type right away.
  bytes = {0xFF, 0x05, 0x00, 0xFF, 0x64, 0x00, 0x30, 0x10, 4, 0, 0, 0, 1, 2, 3, 4};
  EXPECT_EQ(result(), ResError::kNoEmptyEntry);
}

TEST_F(ResFileMalformed, EmptyEntryWithData) {
  set32(bytes, 0, 4);
  EXPECT_EQ(result(), ResError::kNoEmptyEntry);
}

TEST_F(ResFileMalformed, HeaderCutAfterDataSize) {
  bytes.resize(second + 4);
  EXPECT_EQ(result(), ResError::kHeaderPastEnd);
}

TEST_F(ResFileMalformed, HeaderSizePastEof) {
  set32(bytes, second + 4, 0x100);
  EXPECT_EQ(result(), ResError::kHeaderPastEnd);
}

TEST_F(ResFileMalformed, HeaderSizeHuge) {
  // 0xFFFFFFFC must not wrap around the position arithmetic.
  set32(bytes, second + 4, 0xFFFFFFFC);
  EXPECT_EQ(result(), ResError::kHeaderPastEnd);
}

TEST_F(ResFileMalformed, HeaderSizeBelowMinimum) {
  set32(bytes, second + 4, 16);
  EXPECT_EQ(result(), ResError::kHeaderSize);
}

TEST_F(ResFileMalformed, HeaderSizeUnaligned) {
  set32(bytes, second + 4, 33);
  EXPECT_EQ(result(), ResError::kHeaderSize);
}

TEST_F(ResFileMalformed, HeaderSizeLargerThanItsFields) {
  // 36 instead of 32: the trailer would start inside the data.
  set32(bytes, second + 4, 36);
  EXPECT_EQ(result(), ResError::kHeaderSize);
}

TEST_F(ResFileMalformed, HeaderSizeSmallerThanNamedFields) {
  // The named first entry needs 36; with 32 its name ends in the trailer.
  set32(bytes, kFirst + 4, 32);
  EXPECT_EQ(result(), ResError::kHeaderSize);
}

TEST_F(ResFileMalformed, TypeNameUnterminated) {
  // Overwrite the whole id area of the first entry with nonzero units.
  for (size_t i = kFirst + 8; i < kFirst + 20; ++i) bytes[i] = 'Q';
  EXPECT_EQ(result(), ResError::kNameUnterminated);
}

TEST_F(ResFileMalformed, TypeNameEmpty) {
  // An empty string type: terminator right at the id area.
  bytes[kFirst + 8] = 0;
  bytes[kFirst + 9] = 0;
  EXPECT_EQ(result(), ResError::kBadName);
}

TEST_F(ResFileMalformed, TypeOrdinalZero) {
  bytes[second + 10] = 0;
  EXPECT_EQ(result(), ResError::kBadName);
}

TEST_F(ResFileMalformed, NameOrdinalZero) {
  bytes[second + 14] = 0;
  EXPECT_EQ(result(), ResError::kBadName);
}

TEST_F(ResFileMalformed, DataSizePastEof) {
  set32(bytes, second, 5);
  EXPECT_EQ(result(), ResError::kDataPastEnd);
}

TEST_F(ResFileMalformed, DataSizeHuge) {
  set32(bytes, second, 0xFFFFFFFF);
  EXPECT_EQ(result(), ResError::kDataPastEnd);
}

TEST_F(ResFileMalformed, TrailingBytesTooShortForAHeader) {
  bytes.insert(bytes.end(), {0, 0, 0, 0});
  EXPECT_EQ(result(), ResError::kHeaderPastEnd);
}

TEST_F(ResFileMalformed, EveryTruncationFailsCleanly) {
  // Cutting the file anywhere inside an entry is reported, never read past.
  const std::vector<uint8_t> whole = bytes;
  for (size_t cut = kFirst + 1; cut < whole.size(); ++cut) {
    bytes.assign(whole.begin(), whole.begin() + cut);
    const ResError error = result();
    const bool atEntryEnd = cut == second - 1 || cut == second;  // 3 data bytes, 1 pad
    if (atEntryEnd) {
      EXPECT_EQ(error, ResError::kOk) << "cut at " << cut;
    } else {
      EXPECT_NE(error, ResError::kOk) << "cut at " << cut;
    }
  }
}

// A file from the toolchain's own resource compiler, kept with the fuzz seeds.
TEST(ResFileForeign, ResourceCompilerOutputReadsAndRewritesIdentically) {
  const std::string path =
      std::string(TW_SOURCE_DIR) + "/tests/fuzz/seeds/res_file_fuzz/windres-version-strings.res";
  FILE* f = fopen(path.c_str(), "rb");
  ASSERT_NE(f, nullptr) << path;
  std::vector<uint8_t> bytes(4096);
  bytes.resize(fread(bytes.data(), 1, bytes.size(), f));
  fclose(f);

  std::vector<ResEntry> entries;
  ASSERT_EQ(parse(bytes, entries), ResError::kOk);
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].type, ResId::fromOrdinal(kResTypeString));
  EXPECT_EQ(entries[0].language, 0x0409);
  EXPECT_EQ(entries[1].type, ResId::fromOrdinal(10));
  EXPECT_EQ(entries[1].name, ResId::fromName(u"MYDATA"));
  EXPECT_EQ(entries[1].data, (std::vector<uint8_t>{'a', 'b', 'c', 0x34, 0x12}));
  EXPECT_EQ(entries[2].type, ResId::fromOrdinal(kResTypeVersion));
  EXPECT_EQ(entries[2].memoryFlags, 0x0000);
  EXPECT_EQ(written(entries), bytes);
}
