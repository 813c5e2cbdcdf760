// The uninstall record: layout, reading from the end of SETUP.EXE, and
// records that are not ours or do not fit the profile.
#include <gtest/gtest.h>

#include "common/uninstall_record.h"

namespace tw {
namespace {

UninstallRecord sample() {
  UninstallRecord r;
  r.installDirLevels = 2;
  UninstallEntry program;
  program.value = 1;
  program.files = InstalledFiles(18);
  program.files.set(0);
  program.files.set(17);
  UninstallEntry registry;
  registry.value = kEntryRegistryInstalled;
  UninstallEntry skipped;
  skipped.value = kEntryFileSkipped;
  r.entries = {program, registry, skipped};
  r.shortcutFlags = 3;
  r.programFolder = "Notizblock";
  r.installType = 503;
  r.componentCount = 5;
  return r;
}

const std::vector<int> kList = {18, -1, 4};  // file counts of the type's list; -1 registry

TEST(UninstallRecord, LayoutAndLengthField) {
  std::vector<uint8_t> b = encodeUninstallRecord(sample());
  // levels, entry 1 (value, count, two words), entry 2, entry 3, flags,
  // folder (length + 10), type, count, length
  EXPECT_EQ(b.size(), 2u + 8 + 2 + 2 + 2 + 12 + 2 + 2 + 4);
  EXPECT_EQ(b[b.size() - 4] | b[b.size() - 3] << 8, static_cast<int>(b.size()));
  EXPECT_EQ(b[b.size() - 8] | b[b.size() - 7] << 8, 503);
  EXPECT_EQ(b[2], 1);              // directories created by the first component
  EXPECT_EQ(b[4], 18);             // its file count
  EXPECT_EQ(b[6], 0x01);           // file 0
  EXPECT_EQ(b[9], 0x00);
  EXPECT_EQ(b[8], 0x02);           // file 17: word 1, bit 1
  EXPECT_EQ(b[10], 0xFF);          // -1: registry component installed
  EXPECT_EQ(b[12], 0xFE);          // -2: file component skipped
}

TEST(UninstallRecord, ReadBackFromTheEndOfTheProgram) {
  std::vector<uint8_t> file(5000, 0x90);  // the program in front of the record
  std::vector<uint8_t> record = encodeUninstallRecord(sample());
  file.insert(file.end(), record.begin(), record.end());
  UninstallRecord read;
  ASSERT_EQ(decodeUninstallRecord(file.data(), file.size(), kList, read), UninstallRecordError::ok);
  UninstallRecord expected = sample();
  EXPECT_EQ(read.installDirLevels, 2);
  EXPECT_EQ(read.entries, expected.entries);
  EXPECT_TRUE(read.entries[0].files.test(17));
  EXPECT_FALSE(read.entries[0].files.test(16));
  EXPECT_EQ(read.programFolder, "Notizblock");
  EXPECT_EQ(read.shortcutFlags, 3);
  EXPECT_EQ(read.componentCount, 5);
}

TEST(UninstallRecord, ForeignOrDamagedRecordsAreRefused) {
  std::vector<uint8_t> record = encodeUninstallRecord(sample());
  UninstallRecord read;
  std::vector<uint8_t> program(100, 0);  // a program without a record
  EXPECT_EQ(decodeUninstallRecord(program.data(), program.size(), kList, read), UninstallRecordError::foreignType);
  EXPECT_EQ(decodeUninstallRecord(record.data(), 5, kList, read), UninstallRecordError::tooShort);

  std::vector<uint8_t> network = record;
  network[network.size() - 8] = 504 & 0xFF;  // the network pass writes no record
  EXPECT_EQ(decodeUninstallRecord(network.data(), network.size(), kList, read), UninstallRecordError::foreignType);

  std::vector<uint8_t> longer = record;
  longer[longer.size() - 2] = 1;  // length far beyond the file
  EXPECT_EQ(decodeUninstallRecord(longer.data(), longer.size(), kList, read), UninstallRecordError::badLength);

  // A profile whose list differs from the one recorded.
  EXPECT_EQ(decodeUninstallRecord(record.data(), record.size(), {18, 4, -1}, read), UninstallRecordError::entryMismatch);
  EXPECT_EQ(decodeUninstallRecord(record.data(), record.size(), {17, -1, 4}, read), UninstallRecordError::entryMismatch);
  EXPECT_EQ(decodeUninstallRecord(record.data(), record.size(), {18, -1}, read), UninstallRecordError::entryMismatch);
  // A run that broke off counted fewer files than the component has.
  EXPECT_EQ(decodeUninstallRecord(record.data(), record.size(), {20, -1, 4}, read), UninstallRecordError::ok);
}

TEST(UninstallRecord, EveryTruncationIsRefused) {
  std::vector<uint8_t> record = encodeUninstallRecord(sample());
  for (size_t cut = 1; cut < record.size(); ++cut) {
    // Drop bytes from the front: the length field then points before the file.
    std::vector<uint8_t> tail(record.begin() + cut, record.end());
    UninstallRecord read;
    EXPECT_NE(decodeUninstallRecord(tail.data(), tail.size(), kList, read), UninstallRecordError::ok) << cut;
  }
}

}  // namespace
}  // namespace tw
