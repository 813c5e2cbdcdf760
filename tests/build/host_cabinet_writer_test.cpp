// Cabinets written into a package on the host: two cabinets one after the
// other in one file, read back by cabextract, with their files' contents,
// local DOS times and read-only bits; a missing source names itself.
#include "builder/package/host_cabinet_writer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace tw {
namespace {

namespace fs = std::filesystem;

std::string run(const std::string& command) {
  std::string text;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return text;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
  pclose(pipe);
  return text;
}

class CabinetTest : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::path(testing::TempDir()) / "host_cabinet_writer";
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "work");
    const char* zone = std::getenv("TZ");
    oldZone_ = zone ? zone : "";
    hadZone_ = zone != nullptr;
    setenv("TZ", "UTC0", 1);
  }
  void TearDown() override {
    fs::remove_all(dir_);
    if (hadZone_) setenv("TZ", oldZone_.c_str(), 1);
    else unsetenv("TZ");
  }
  std::string oldZone_;
  bool hadZone_ = false;
  std::string file(const std::string& name, const std::string& text, long when, bool readOnly = false) {
    std::string path = (dir_ / name).string();
    std::ofstream(path, std::ios::binary) << text;
    struct utimbuf times = {when, when};
    utime(path.c_str(), &times);
    if (readOnly) chmod(path.c_str(), 0444);
    return path;
  }
  fs::path dir_;
};

TEST_F(CabinetTest, TwoCabinetsIntoOnePackageReadBackByAnIndependentReader) {
  std::string big(200000, 'a');
  for (size_t i = 0; i < big.size(); i += 7) big[i] = static_cast<char>('a' + i % 23);
  std::string one = file("one.txt", "erste Datei\n", 1700000000);
  std::string two = file("two.bin", big, 1700000100, true);
  std::string package = (dir_ / "package.bin").string();
  std::FILE* out = std::fopen(package.c_str(), "wb");
  ASSERT_NE(out, nullptr);
  std::fputs("HEAD", out);
  std::vector<uint32_t> sizes;
  {
    HostCabinetWriter writer((dir_ / "work").string() + "/", out, [&](uint32_t size) { sizes.push_back(size); });
    ASSERT_TRUE(writer.create());
    ASSERT_TRUE(writer.addFile(one, "ONE.TXT", cab::kCompressMsZip));
    ASSERT_TRUE(writer.flush(true));
    ASSERT_TRUE(writer.addFile(two, "0000000100020000two.bin", cab::lzxType(21)));
    ASSERT_TRUE(writer.flush(false));
    EXPECT_FALSE(writer.addFile((dir_ / "missing").string(), "X", cab::kCompressNone));
    EXPECT_EQ(writer.failedFile(), (dir_ / "missing").string());
  }
  std::fclose(out);
  // The work folder is left empty: the data file went with the writer.
  EXPECT_TRUE(fs::is_empty(dir_ / "work"));
  ASSERT_EQ(sizes.size(), 2u);
  std::ifstream in(package, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_EQ(bytes.size(), 4 + sizes[0] + sizes[1]);
  std::ofstream(dir_ / "a.cab", std::ios::binary) << bytes.substr(4, sizes[0]);
  std::ofstream(dir_ / "b.cab", std::ios::binary) << bytes.substr(4 + sizes[0]);
  if (std::system("command -v cabextract >/dev/null 2>&1") != 0) GTEST_SKIP() << "cabextract is not installed";
  std::string listing = run("cd " + dir_.string() + " && cabextract -l a.cab b.cab 2>&1");
  EXPECT_NE(listing.find("14.11.2023 22:13:20 | ONE.TXT"), std::string::npos) << listing;
  EXPECT_NE(listing.find("14.11.2023 22:15:00 | 0000000100020000two.bin"), std::string::npos) << listing;
  fs::create_directories(dir_ / "x");
  run("cd " + dir_.string() + " && cabextract -q -d x a.cab b.cab 2>&1");
  std::ifstream back((dir_ / "x" / "0000000100020000two.bin").string(), std::ios::binary);
  EXPECT_EQ(std::string((std::istreambuf_iterator<char>(back)), std::istreambuf_iterator<char>()), big);
  std::ifstream first((dir_ / "x" / "ONE.TXT").string(), std::ios::binary);
  EXPECT_EQ(std::string((std::istreambuf_iterator<char>(first)), std::istreambuf_iterator<char>()), "erste Datei\n");
  // The read-only bit of the source went into the cabinet.
  struct stat info{};
  ASSERT_EQ(stat((dir_ / "x" / "0000000100020000two.bin").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0222, 0u);
}

}  // namespace
}  // namespace tw
