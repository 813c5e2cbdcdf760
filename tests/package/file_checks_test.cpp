// SHA-256 on the standard vectors, the file check records, and the names
// of the run folders that the runtime and the remover may take away.
#include "common/file_checks.h"
#include "common/run_folder.h"
#include "common/sha256.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tw {
namespace {

std::string hex(const std::uint8_t (&d)[kSha256Size]) {
  static const char k[] = "0123456789abcdef";
  std::string out;
  for (std::uint8_t b : d) {
    out += k[b >> 4];
    out += k[b & 15];
  }
  return out;
}

std::string digestOf(const std::string& text) {
  std::uint8_t d[kSha256Size];
  sha256(text.data(), text.size(), d);
  return hex(d);
}

TEST(Sha256, StandardVectors) {
  EXPECT_EQ("e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855", digestOf(""));
  EXPECT_EQ("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad", digestOf("abc"));
  EXPECT_EQ("248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1",
            digestOf("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"));
  EXPECT_EQ("cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1",
            digestOf("abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrsmnopqrstnopqrstu"));
  EXPECT_EQ("cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0", digestOf(std::string(1000000, 'a')));
}

// Pieces of every length at every offset give the digest of the whole:
// the block buffer and the padding at the 55/56/64-byte edges.
TEST(Sha256, PiecesGiveTheDigestOfTheWhole) {
  std::string data;
  for (int i = 0; i < 300; ++i) data += static_cast<char>(i * 7 + 3);
  for (size_t total : {0u, 55u, 56u, 63u, 64u, 65u, 119u, 120u, 300u}) {
    std::uint8_t whole[kSha256Size];
    sha256(data.data(), total, whole);
    for (size_t piece : {1u, 3u, 63u, 64u, 100u}) {
      Sha256 h;
      for (size_t at = 0; at < total; at += piece) h.update(data.data() + at, std::min(piece, total - at));
      std::uint8_t d[kSha256Size];
      h.finish(d);
      EXPECT_TRUE(sameDigest(d, whole)) << total << "/" << piece;
    }
  }
}

std::vector<std::uint8_t> records(const std::vector<std::pair<std::string, std::string>>& files) {
  std::vector<std::uint8_t> out(files.size() * kFileCheckRecordSize);
  for (size_t i = 0; i < files.size(); ++i)
    EXPECT_TRUE(writeFileCheck(files[i].first.c_str(), files[i].second.data(),
                               static_cast<std::uint32_t>(files[i].second.size()), &out[i * kFileCheckRecordSize]));
  return out;
}

TEST(FileChecks, FindsEachFileByNameWithoutRegardToCase) {
  const std::string cabinet(5000, 'c'), cabxpd = "MZ cabxpd", remover = "MZ remover";
  auto table = records({{"CABINET.DLL", cabinet}, {"cabxpd32.dll", cabxpd}, {"ZETURFD.EXE", remover}});
  FileCheck check;
  ASSERT_TRUE(findFileCheck(table.data(), table.size(), "CABXPD32.DLL", &check));
  EXPECT_EQ(cabxpd.size(), check.size);
  EXPECT_TRUE(matchesFileCheck(check, cabxpd.data(), cabxpd.size()));
  EXPECT_FALSE(matchesFileCheck(check, cabinet.data(), cabinet.size()));
  ASSERT_TRUE(findFileCheck(table.data(), table.size(), "zeturfd.exe", &check));
  EXPECT_TRUE(matchesFileCheck(check, remover.data(), remover.size()));
  EXPECT_FALSE(findFileCheck(table.data(), table.size(), "ZETURFD.DLL", &check));
  EXPECT_FALSE(findFileCheck(table.data(), table.size(), "CABINET.DL", &check));
}

// What a planted or damaged file looks like: same size with other bytes
// (32 bytes overwritten), one byte more or less.
TEST(FileChecks, AnyChangeOfTheFileIsAMismatch) {
  std::string file(20000, '\0');
  for (size_t i = 0; i < file.size(); ++i) file[i] = static_cast<char>(i * 31 + (i >> 8));
  auto table = records({{"CABXPD32.DLL", file}});
  FileCheck check;
  ASSERT_TRUE(findFileCheck(table.data(), table.size(), "CABXPD32.DLL", &check));
  EXPECT_TRUE(matchesFileCheck(check, file.data(), file.size()));
  std::string overwritten = file;
  for (size_t i = 4096; i < 4096 + 32; ++i) overwritten[i] = 'X';
  EXPECT_FALSE(matchesFileCheck(check, overwritten.data(), overwritten.size()));
  EXPECT_FALSE(matchesFileCheck(check, file.data(), file.size() - 1));
  std::string longer = file + '\0';
  EXPECT_FALSE(matchesFileCheck(check, longer.data(), longer.size()));
}

TEST(FileChecks, RefusesTablesThatAreNoTables) {
  auto table = records({{"CABINET.DLL", "x"}});
  FileCheck check;
  EXPECT_FALSE(findFileCheck(table.data(), table.size() - 1, "CABINET.DLL", &check));
  EXPECT_FALSE(findFileCheck(nullptr, 0, "CABINET.DLL", &check));
  std::vector<std::uint8_t> huge(kFileCheckRecordSize * (kFileChecksMaxRecords + 1));
  std::copy(table.begin(), table.end(), huge.begin());
  EXPECT_FALSE(findFileCheck(huge.data(), huge.size(), "CABINET.DLL", &check));
  std::uint8_t out[kFileCheckRecordSize];
  EXPECT_FALSE(writeFileCheck("SEVENTEEN-CHARS.X", "x", 1, out));
  EXPECT_TRUE(writeFileCheck("SIXTEEN-CHARS.XY", "x", 1, out));
  EXPECT_TRUE(findFileCheck(out, sizeof out, "sixteen-chars.xy", &check));
}

TEST(RunFolder, NamesAreZetAndSixteenHexDigits) {
  char name[kRunFolderNameLength + 1];
  formatRunFolderName(0xFEDCBA9876543210ull, name);
  EXPECT_STREQ("ZETFEDCBA9876543210", name);
  EXPECT_TRUE(isRunFolderName(name, kRunFolderNameLength));
  EXPECT_TRUE(isRunFolderName("zetfedcba9876543210", kRunFolderNameLength));
  EXPECT_FALSE(isRunFolderName("ZET1A2B", 7));                         // the old four-digit form
  EXPECT_FALSE(isRunFolderName("ZETFEDCBA987654321G", kRunFolderNameLength));
  EXPECT_FALSE(isRunFolderName("XETFEDCBA9876543210", kRunFolderNameLength));
}

// Only a run folder directly in the temporary folder is one: never the
// temporary folder itself, a folder of the user's, an installed copy's
// folder or a run folder's subfolder.
TEST(RunFolder, OnlyDirectlyInTheTemporaryFolder) {
  const char* temp = "C:\\Users\\Ann\\Temp\\";
  EXPECT_TRUE(isRunFolderIn("C:\\Users\\Ann\\Temp\\ZET0123456789ABCDEF", temp));
  EXPECT_TRUE(isRunFolderIn("c:\\users\\ann\\temp\\zet0123456789abcdef\\", temp));
  EXPECT_TRUE(isRunFolderIn("C:\\Users\\Ann\\Temp\\ZET0123456789ABCDEF", "C:\\Users\\Ann\\Temp"));
  EXPECT_FALSE(isRunFolderIn("C:\\Users\\Ann\\Temp", temp));
  EXPECT_FALSE(isRunFolderIn("C:\\Users\\Ann\\Desktop", temp));
  EXPECT_FALSE(isRunFolderIn("C:\\Program Files\\Notizblock Pro", temp));
  EXPECT_FALSE(isRunFolderIn("C:\\Users\\Ann\\Temp\\sub\\ZET0123456789ABCDEF", temp));
  EXPECT_FALSE(isRunFolderIn("C:\\Users\\Ann\\Temp\\ZET0123456789ABCDEF\\ZET0123456789ABCDEF", temp));
  EXPECT_FALSE(isRunFolderIn("C:\\Users\\Ann\\TempZET0123456789ABCDEF", temp));
  EXPECT_FALSE(isRunFolderIn("C:\\Users\\Ann\\Temp\\ZET1A2B", temp));
  EXPECT_FALSE(isRunFolderIn("D:\\Users\\Ann\\Temp\\ZET0123456789ABCDEF", temp));
  EXPECT_FALSE(isRunFolderIn("C:\\Users\\Ann\\Temp\\ZET0123456789ABCDEF", ""));
}

}  // namespace
}  // namespace tw
