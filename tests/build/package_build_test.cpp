// The build's sequence on an in-memory platform: what goes into the
// package in which order, what is bound where, and what a stop leaves
// behind (nothing of its own).
#include "builder/package/package_build.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>

#include "builder/package/profile_writer.h"
#include "builder/project/project_file.h"
#include "common/file_checks.h"
#include "common/item_table.h"
#include "common/res_file.h"
#include "common/string_block.h"
#include "tests/support/fake_resources.h"
#include "tests/support/memory_file_system.h"

namespace tw {
namespace {

const std::string kBuilder = "C:\\builder\\";
const std::string kWork = "C:\\temp\\TBW1\\";

class RecordingReporter final : public BuildReporter {
 public:
  std::vector<std::string> steps;
  std::vector<std::string> messages;
  int lastPercent = -1;
  void progress(const std::string* text, int percent) override {
    if (text) steps.push_back(*text);
    if (percent >= 0) lastPercent = percent;
  }
  void message(const std::string& text, const std::string&, MessageIcon) override { messages.push_back(text); }
};

// The package file in memory: written at its end.
class MemoryOutput final : public PackageOutput {
 public:
  MemoryOutput(std::vector<uint8_t>& bytes, bool failWrites) : bytes_(bytes), failWrites_(failWrites) {}
  uint64_t size() override { return bytes_.size(); }
  void toEnd() override {}
  void write(const void* data, size_t size) override {
    if (failWrites_) throw BuildError(packageWriteFailure("P", "Datentr\xE4ger voll"));
    auto p = static_cast<const uint8_t*>(data);
    bytes_.insert(bytes_.end(), p, p + size);
  }
  void finish() override {}

 private:
  std::vector<uint8_t>& bytes_;
  bool failWrites_;
};

// Cabinets as text: "CAB|name|name...", one per flush that holds files.
class TextCabinets final : public PackageCabinets {
 public:
  TextCabinets(PackageOutput& package, PackageItems& items, std::vector<std::vector<std::string>>& log)
      : package_(package), items_(items), log_(log) {}
  bool create() override { return true; }
  bool addFile(const std::string&, const std::string& name) override {
    pending_.push_back(name);
    return true;
  }
  bool flush(bool) override {
    if (pending_.empty()) return true;
    std::string text = "CAB";
    for (auto& n : pending_) text += "|" + n;
    package_.write(text.data(), text.size());
    items_.append(static_cast<uint32_t>(text.size()));
    log_.push_back(pending_);
    pending_.clear();
    return true;
  }
  void destroy() override {}
  std::string lastError() const override { return "-"; }
  std::string failedFile() const override { return {}; }
  bool packageFailed() const override { return false; }
  double compressionSeconds() const override { return 0; }

 private:
  PackageOutput& package_;
  PackageItems& items_;
  std::vector<std::vector<std::string>>& log_;
  std::vector<std::string> pending_;
};

class MemoryPlatform final : public BuildPlatform {
 public:
  test::MemoryFileSystem fs;
  std::map<std::string, std::vector<ResEntry>> bound;  // target -> entries
  std::vector<std::vector<std::string>> written;  // the names of each cabinet
  bool failPackageWrites = false;

  FileSystem& files() override { return fs; }
  const std::string& builderFolder() const override { return kBuilder; }
  std::string lastFailure() override { return "Zugriff verweigert."; }
  std::string createWorkFolder() override {
    fs.folders.insert(kWork.substr(0, kWork.size() - 1));
    return kWork;
  }
  void removeWorkFolder(const std::string& folder) override {
    for (auto it = fs.files.begin(); it != fs.files.end();)
      it = it->first.rfind(folder, 0) == 0 ? fs.files.erase(it) : std::next(it);
    fs.folders.erase(folder.substr(0, folder.size() - 1));
  }
  bool sameFile(const std::string& a, const std::string& b) override { return a == b; }
  bool exists(const std::string& path) override { return fs.files.count(path) || fs.folders.count(path); }
  std::string temporaryFile(const std::string& folder, const std::string&) override {
    std::string name = folder + "\\TBW1.tmp";
    fs.files[name] = {};
    return name;
  }
  bool copyFile(const std::string& from, const std::string& to) override { return fs.copyFile(from, to); }
  bool copyWriteTime(const std::string&, const std::string&) override { return true; }
  void bindResources(const std::string& target, const std::string& resourceFile, const std::string&) override {
    std::vector<ResEntry> entries;
    const std::vector<uint8_t>& bytes = fs.files.at(resourceFile);
    ASSERT_EQ(readResFile(bytes.data(), bytes.size(), entries), ResError::kOk);
    bound[target] = entries;
    fs.files.erase(resourceFile);
  }
  std::unique_ptr<PackageOutput> openPackage(const std::string& path, const std::string&) override {
    return std::make_unique<MemoryOutput>(fs.files.at(path), failPackageWrites);
  }
  std::unique_ptr<PackageCabinets> cabinets(const std::string&, PackageOutput& package, const std::string&,
                                            PackageItems& items, BuildReporter&, uint64_t) override {
    return std::make_unique<TextCabinets>(package, items, written);
  }
  std::string versionDigits(const std::string&) override { return "0000000200000001"; }
  bool replaceFile(const std::string& from, const std::string& to) override {
    fs.files[to] = fs.files.at(from);
    fs.files.erase(from);
    return true;
  }
  void removeFile(const std::string& path) override { fs.files.erase(path); }
  void removeFolder(const std::string& path) override { fs.folders.erase(path); }
  double seconds() override { return 0; }
};

std::vector<uint8_t> fileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const ResEntry* findEntry(const std::vector<ResEntry>& entries, uint16_t type, uint16_t id) {
  for (const ResEntry& e : entries)
    if (e.type.isOrdinal() && e.type.ordinal == type && e.name.isOrdinal() && e.name.ordinal == id) return &e;
  return nullptr;
}

class PackageBuild : public testing::Test {
 protected:
  void SetUp() override {
    std::vector<uint8_t> file = fileBytes(std::string(TW_SOURCE_DIR) + "/examples/sample/sample.tbw");
    ASSERT_TRUE(readProject(file.data(), file.size(), project, {}).ok());
    project.ProjectPath = "C:\\proj\\sample.tbw";
    project.DefSrcPathValue = "C:\\proj";
    auto& fs = platform.fs;
    fs.put(project.ProjectPath, file);
    fs.folders.insert("C:\\proj");
    for (const char* name : {"notiz.txt", "liesmich.txt", "hilfe.txt", "beispiel.txt", "lizenz.txt"})
      fs.put(std::string("C:\\proj\\files\\") + name, {'d', 'a', 't', 'a'});
    for (const char* name : {"ZETUBODY.EXE", "ZETUSUM.EXE", "ZETUSUM.DLL", "ZETURFD.EXE", "CABINET.DLL", "CABXPD32.DLL"})
      fs.put(kBuilder + name, std::vector<uint8_t>(name, name + 8));
    fs.folders.insert("C:\\out");
    language.fillComplete();
    std::vector<uint8_t> group = {0, 0, 1, 0, 1, 0};
    group.insert(group.end(), 14, 0xAA);
    group[6 + 12] = 11;
    group[6 + 13] = 0;
    language.resources[{14, 3}] = group;
    language.resources[{3, 11}] = {11};
    language.resources[{5, 150}] = {150};
    language.resources[{16, 3}] = {3};
    language.resources[{6, 66}] = {66};
  }
  // Every file and folder there is besides the inputs.
  std::vector<std::string> leftovers() {
    std::vector<std::string> out;
    for (auto& f : platform.fs.files)
      if (f.first.rfind("C:\\proj\\", 0) != 0 && f.first.rfind(kBuilder, 0) != 0) out.push_back(f.first);
    for (auto& f : platform.fs.folders)
      if (f != "C:\\proj" && f != "C:\\out") out.push_back(f + "\\");
    return out;
  }
  ProjectDocument project;
  MemoryPlatform platform;
  test::FakeLanguageModule language;
  RecordingReporter reporter;
};

TEST_F(PackageBuild, TheDispatcherTheLibrariesTheCabinetsAndTheTableInTheirOrder) {
  ASSERT_TRUE(runPackageBuild(project, platform, &language, reporter, "C:\\out\\p.exe")) << reporter.messages[0];
  EXPECT_EQ(leftovers(), std::vector<std::string>{"C:\\out\\p.exe"});
  ASSERT_EQ(reporter.messages.size(), 1u);
  EXPECT_EQ(reporter.messages[0].rfind("Installationsanwendung erfolgreich erzeugt:", 0), 0u);
  EXPECT_EQ(reporter.steps.front(), "\xDC" "berpr\xFC" "fe Dateien");
  EXPECT_EQ(reporter.steps.back(), "") << "the progress is reset";

  const std::vector<uint8_t>& package = platform.fs.files.at("C:\\out\\p.exe");
  ASSERT_GT(package.size(), 4u);
  size_t end = package.size();
  uint32_t count = package[end - 4] | package[end - 3] << 8 | package[end - 2] << 16 | package[end - 1] << 24;
  // Dispatcher, CABINET.DLL, CABXPD32.DLL, runtime cabinet, one per
  // compressed component with files.
  ASSERT_EQ(platform.written.size(), 4u);
  EXPECT_EQ(platform.written[0], (std::vector<std::string>{"_SETUP.DLL", "_SETUP.EXE", "ZETURFD.EXE"}));
  EXPECT_EQ(platform.written[1], (std::vector<std::string>{"notiz.txt", "liesmich.txt"}));
  EXPECT_EQ(count, 6u);
  EXPECT_EQ(end - 4 - 12 * count, 8u + 16u + [&] {
    size_t cabinets = 0;
    for (auto& c : platform.written) {
      cabinets += 3;
      for (auto& n : c) cabinets += 1 + n.size();
    }
    return cabinets;
  }()) << "the table follows the last item";
  std::string start(package.begin(), package.begin() + 8);
  EXPECT_EQ(start, "ZETUBODY");
  std::string afterDispatcher(package.begin() + 8, package.begin() + 24);
  EXPECT_EQ(afterDispatcher, "CABINET.CABXPD32");

  // The profile and the file checks into the runtime's resource DLL, the
  // dispatcher's resources into the package.
  const std::vector<ResEntry>& profile = platform.bound.at(kWork + "_SETUP.DLL");
  const ResEntry* checks = findEntry(profile, kResTypeRcData, kFileChecksResourceId);
  ASSERT_NE(checks, nullptr);
  EXPECT_EQ(checks->data.size(), 3 * kFileCheckRecordSize);
  const std::vector<ResEntry>& dispatcher = platform.bound.at("C:\\out\\TBW1.tmp");
  const ResEntry* name = findEntry(dispatcher, kResTypeString, 1);
  ASSERT_NE(name, nullptr);
  EXPECT_EQ(name->data, encodeStringBlock({project.EditApp}));
  EXPECT_EQ(findEntry(dispatcher, kResTypeRcData, kFileChecksResourceId)->data, checks->data);
}

TEST_F(PackageBuild, TwoBuildsGiveTheSameBytes) {
  ASSERT_TRUE(runPackageBuild(project, platform, &language, reporter, "C:\\out\\a.exe"));
  ASSERT_TRUE(runPackageBuild(project, platform, &language, reporter, "C:\\out\\b.exe"));
  EXPECT_EQ(platform.fs.files.at("C:\\out\\a.exe"), platform.fs.files.at("C:\\out\\b.exe"));
}

TEST_F(PackageBuild, AStopLeavesNothingOfTheBuild) {
  // A missing source, found by the file check before anything is written.
  platform.fs.files.erase("C:\\proj\\files\\hilfe.txt");
  EXPECT_FALSE(runPackageBuild(project, platform, &language, reporter, "C:\\out\\neu\\tief\\p.exe"));
  ASSERT_EQ(reporter.messages.size(), 1u);
  EXPECT_NE(reporter.messages[0].find("hilfe.txt"), std::string::npos) << reporter.messages[0];
  EXPECT_EQ(leftovers(), std::vector<std::string>{});

  // The package that cannot be written, after binding: its temporary file,
  // the folders made for it and the work folder go.
  platform.fs.put("C:\\proj\\files\\hilfe.txt", {'x'});
  platform.failPackageWrites = true;
  reporter.messages.clear();
  EXPECT_FALSE(runPackageBuild(project, platform, &language, reporter, "C:\\out\\neu\\tief\\p.exe"));
  ASSERT_EQ(reporter.messages.size(), 1u);
  EXPECT_NE(reporter.messages[0].find("Datentr\xE4ger voll. Erzeugung abgebrochen."), std::string::npos)
      << reporter.messages[0];
  EXPECT_EQ(leftovers(), std::vector<std::string>{});

  // A build without a language module stops before it starts.
  reporter.messages.clear();
  EXPECT_FALSE(runPackageBuild(project, platform, nullptr, reporter, "C:\\out\\p.exe"));
  EXPECT_EQ(reporter.messages, std::vector<std::string>{"Kein Sprachmodul ausgew\xE4hlt (Dialogseite)!"});
}

TEST_F(PackageBuild, ThePackageMayNotGoIntoTheBuildersFolder) {
  EXPECT_FALSE(runPackageBuild(project, platform, &language, reporter, kBuilder + "p.exe"));
  ASSERT_EQ(reporter.messages.size(), 1u);
  EXPECT_EQ(leftovers(), std::vector<std::string>{});
  EXPECT_EQ(platform.fs.files.count(kBuilder + "p.exe"), 0u);
}

TEST(CompressionNames, TheThreeNamesInAnyCase) {
  uint16_t type = 0xFFFF;
  EXPECT_TRUE(compressionByName("LZX", type));
  EXPECT_EQ(type, kCompressLzx21);
  EXPECT_TRUE(compressionByName("MsZip", type));
  EXPECT_EQ(type, kCompressMsZip);
  EXPECT_TRUE(compressionByName("none", type));
  EXPECT_EQ(type, kCompressNone);
  EXPECT_FALSE(compressionByName("lzx21", type));
  EXPECT_FALSE(compressionByName("", type));
  EXPECT_EQ(type, kCompressNone);
}

}  // namespace
}  // namespace tw
