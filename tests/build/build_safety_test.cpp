// The rules that keep a build from harming its inputs: where the package may
// go, duplicate targets, files too large for a cabinet, binary values, the
// dates a cabinet stores, and the messages for texts and memory.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <new>

#include "builder/package/build_checks.h"
#include "builder/package/build_context.h"
#include "builder/package/build_safety.h"
#include "builder/package/profile_records.h"
#include "builder/package/source_files.h"
#include "tests/support/memory_file_system.h"

namespace tw {
namespace {

std::string stopMessage(const std::function<void()>& f) {
  try {
    f();
  } catch (const BuildError& e) {
    return e.what();
  }
  return "(no stop)";
}

class SilentReporter final : public BuildReporter {
 public:
  std::vector<std::string> messages;
  void progress(const std::string*, int) override {}
  void message(const std::string& text, const std::string&, MessageIcon) override { messages.push_back(text); }
};

class OutputRules : public ::testing::Test {
 protected:
  void SetUp() override {
    p.ResetProject(NoLanguageTexts());
    p.ProjectPath = "C:\\Proj\\demo.tbw";
    p.DefSrcPathValue = "D:\\src";
    p.EditLizenz = "texte\\lizenz.txt";
    p.EditInfoTxt = "E:\\info.txt";
    p.EditAdvert = "Werbung08.bmp";
    program().addChild("[DefSrcPath]\\bin\\app.exe", kPictureFileEntry);
    fs.folders.insert("C:\\Proj");
    fs.folders.insert("C:\\Proj\\out");
  }
  TreeNode& program() { return *p.fileComponentsRoot()->children[0]; }
  std::optional<std::string> check(const std::string& package, const SameFileTest& same = nullptr) {
    return checkOutputPath(package, p, "C:\\Tamblix\\", fs, same);
  }
  ProjectDocument p;
  test::MemoryFileSystem fs;
};

TEST(ComparablePaths, SpellingsOfOneNameCompareEqual) {
  EXPECT_EQ(comparablePath("C:\\Proj\\Demo.TBW"), "c:\\proj\\demo.tbw");
  EXPECT_EQ(comparablePath("C:/Proj/./sub/../demo.tbw"), "c:\\proj\\demo.tbw");
  EXPECT_EQ(comparablePath("C:\\Proj\\demo.tbw. "), "c:\\proj\\demo.tbw");  // Windows drops them
  EXPECT_EQ(comparablePath("C:\\Proj\\\\x\\"), "c:\\proj\\x");
  EXPECT_EQ(comparablePath("C:\\..\\..\\x"), "c:\\x");  // never above the drive
  EXPECT_EQ(comparablePath("\\\\Server\\Teil\\..\\..\\a.exe"), "\\\\server\\teil\\a.exe");
  EXPECT_EQ(comparablePath("C:\\\xC4RGER\\\x8A"), "c:\\\xE4rger\\\x9A");  // CP1252 letters fold too
  EXPECT_NE(comparablePath("C:\\a\\b.exe"), comparablePath("C:\\a\\b.exe2"));
}

TEST(ComparablePaths, FolderContainment) {
  EXPECT_TRUE(pathIsInFolder("C:\\Tamblix\\CABINET.DLL", "C:\\tamblix\\"));
  EXPECT_TRUE(pathIsInFolder("C:\\Tamblix\\language\\x.exe", "C:\\Tamblix"));
  EXPECT_TRUE(pathIsInFolder("c:/tamblix", "C:\\Tamblix\\"));
  EXPECT_FALSE(pathIsInFolder("C:\\Tamblix2\\x.exe", "C:\\Tamblix\\"));
  EXPECT_FALSE(pathIsInFolder("C:\\x.exe", ""));
}

TEST_F(OutputRules, InputsAreTheProjectItsFilesAndItsPictures) {
  p.RadioTitleText = false;
  p.EditTitleBmp = "titel.bmp";
  std::vector<std::string> inputs = projectInputFiles(p);
  auto has = [&](const std::string& name) {
    return std::find(inputs.begin(), inputs.end(), name) != inputs.end();
  };
  EXPECT_TRUE(has("C:\\Proj\\demo.tbw"));
  EXPECT_TRUE(has("D:\\src\\bin\\app.exe"));
  EXPECT_TRUE(has("C:\\Proj\\texte\\lizenz.txt"));
  EXPECT_TRUE(has("E:\\info.txt"));
  EXPECT_TRUE(has("C:\\Proj\\titel.bmp"));
  EXPECT_TRUE(has("C:\\Proj\\BackGround.bmp"));
  EXPECT_TRUE(has("C:\\Proj\\Werbung08.bmp"));
  EXPECT_TRUE(has("C:\\Proj\\Werbung99.bmp"));  // every name the series can reach
  EXPECT_FALSE(has("C:\\Proj\\Werbung07.bmp"));
  p.RadioTitleText = true;  // then the title is a text, not a file
  inputs = projectInputFiles(p);
  EXPECT_FALSE(has("C:\\Proj\\titel.bmp"));
}

TEST_F(OutputRules, RefusedOutputsSayWhy) {
  const std::string aborted = " Erzeugung abgebrochen.";
  EXPECT_EQ(*check("C:\\Proj\\DEMO.tbw"),
            "Das Paket \"C:\\Proj\\DEMO.tbw\" w\xFCrde die Projektdatei \xFC" "berschreiben." + aborted);
  EXPECT_EQ(*check("d:\\src\\bin\\App.exe"), "Das Paket \"d:\\src\\bin\\App.exe\" w\xFCrde die Datei "
                                             "\"D:\\src\\bin\\app.exe\" \xFC" "berschreiben, die das Projekt verwendet." +
                                                 aborted);
  EXPECT_NE(check("C:\\Proj\\texte\\lizenz.txt")->find("\"C:\\Proj\\texte\\lizenz.txt\""), std::string::npos);
  EXPECT_EQ(*check("C:\\Tamblix\\CABINET.DLL"),
            "Das Paket \"C:\\Tamblix\\CABINET.DLL\" darf nicht im Programmordner \"C:\\Tamblix\\\" liegen, dessen "
            "Dateien jede Erzeugung braucht." + aborted);
  EXPECT_TRUE(check("C:\\TAMBLIX\\language\\neu.exe"));
  EXPECT_EQ(*check("C:\\Proj\\out"), "\"C:\\Proj\\out\" ist ein Ordner; das Paket braucht einen Dateinamen." + aborted);
  EXPECT_TRUE(check("C:\\Proj\\neu\\"));
  EXPECT_TRUE(check(""));
  EXPECT_FALSE(check("C:\\Proj\\out\\demo.exe"));
  EXPECT_FALSE(check("C:\\Proj\\demo.tbw.exe"));
}

TEST_F(OutputRules, TheFileSystemsIdentityCatchesOtherNames) {
  // A short name or a link to the project, and a second name of the builder's folder.
  auto same = [](const std::string& a, const std::string& b) {
    return (a == "C:\\PROJ~1\\DEMO~1.TBW" && b == "C:\\Proj\\demo.tbw") ||
           (a == "C:\\TAMBLI~1" && b == "C:\\Tamblix\\");
  };
  EXPECT_FALSE(check("C:\\PROJ~1\\DEMO~1.TBW"));
  EXPECT_NE(check("C:\\PROJ~1\\DEMO~1.TBW", same)->find("Projektdatei"), std::string::npos);
  EXPECT_NE(check("C:\\TAMBLI~1\\x.exe", same)->find("Programmordner"), std::string::npos);
  EXPECT_FALSE(check("C:\\Proj\\out\\demo.exe", same));
}

TEST_F(OutputRules, DuplicateTargetsInOneComponent) {
  program().addChild("[DefSrcPath]\\anders\\APP.EXE", kPictureFileEntry);
  EXPECT_EQ(stopMessage([&] { checkDuplicateTargets(p); }),
            "Die Dateikomponente \"Programmdateien\" enth\xE4lt die Zieldatei \"APP.EXE\" zweimal: "
            "\"[DefSrcPath]\\bin\\app.exe\" und \"[DefSrcPath]\\anders\\APP.EXE\". Erzeugung abgebrochen.");
  program().children.back()->text = "[DefSrcPath]\\anders\\app2.exe";
  EXPECT_EQ(stopMessage([&] { checkDuplicateTargets(p); }), "(no stop)");
  // A placeholder takes its target as well.
  program().addChild("app2.exe", kPictureDummyEntry);
  EXPECT_NE(stopMessage([&] { checkDuplicateTargets(p); }).find("\"app2.exe\" zweimal"), std::string::npos);
  program().children.pop_back();
  // The same name in another component is another target.
  TreeNode& other = p.fileComponentsRoot()->addChild("Andere", kPictureFileComponent);
  other.komp = std::make_unique<KompRec>();
  other.addChild("E:\\app.exe", kPictureFileEntry);
  EXPECT_EQ(stopMessage([&] { checkDuplicateTargets(p); }), "(no stop)");
}

TEST_F(OutputRules, FilesACabinetCannotHoldStopTheScan) {
  program().komp->path = "<InstallDir>";
  // The memory file system reports sizes from its data; a large size is faked
  // through a file system that says so.
  class SizedFileSystem final : public FileSystem {
   public:
    uint64_t size = 0;
    FileReadStatus readFile(const std::string&, std::vector<uint8_t>&) override { return FileReadStatus::CannotOpen; }
    bool writeFile(const std::string&, const void*, size_t) override { return false; }
    bool fileExists(const std::string&) override { return true; }
    bool findFile(const std::string&, FileInfo& info) override {
      info = FileInfo{size, false, false};
      return true;
    }
    bool copyFile(const std::string&, const std::string&) override { return false; }
    bool createDirectories(const std::string&) override { return false; }
  } sized;
  sized.size = 0x7FFFFFFF;
  EXPECT_EQ(stopMessage([&] { UpdateNodeSize(p, sized, true); }), "(no stop)");
  sized.size = 0x80000000;
  EXPECT_EQ(stopMessage([&] { UpdateNodeSize(p, sized, true); }),
            "Die Datei \"D:\\src\\bin\\app.exe\" ist 2147483648 Bytes gro\xDF; ein Kabinett nimmt nur Dateien unter "
            "2 GiB (2147483648 Bytes) auf. Erzeugung abgebrochen.");
  sized.size = 0x100000064;  // 4 GiB + 100 bytes: not a 100-byte file
  EXPECT_NE(stopMessage([&] { UpdateNodeSize(p, sized, true); }).find("4294967396 Bytes"), std::string::npos);
  EXPECT_EQ(stopMessage([&] { UpdateNodeSize(p, sized, false); }), "(no stop)");
}

TEST(BinaryValues, HexDigitsOfEitherCaseAndNamedFaults) {
  EXPECT_EQ(hexPairsToBytes("00ff10A5", "Muster"), std::string("\x00\xFF\x10\xA5", 4));
  EXPECT_EQ(hexPairsToBytes("aB1", "Muster"), std::string("\xAB", 1));  // an odd digit is dropped
  EXPECT_EQ(stopMessage([] { hexPairsToBytes("00FG", "Muster"); }),
            "Der Bin\xE4rwert \"Muster\" enth\xE4lt an Stelle 4 das Zeichen \"G\", das keine Hexadezimalziffer "
            "(0-9, A-F) ist. Erzeugung abgebrochen.");
  EXPECT_NE(stopMessage([] { hexPairsToBytes("x0", "Wert"); }).find("an Stelle 1 das Zeichen \"x\""),
            std::string::npos);
  EXPECT_NE(stopMessage([] { hexPairsToBytes("0\t", "Wert"); }).find("Steuerzeichen 9"), std::string::npos);
  EXPECT_NE(stopMessage([] { hexPairsToBytes("0 ", "Wert"); }).find("das Zeichen \" \""), std::string::npos);
}

TEST(CabinetDates, EarlyAndLateDatesAreClampedToTheFormatsRange) {
  DosDateTime first = toDosDateTime(1980, 1, 1, 0, 0, 0);
  EXPECT_EQ(first.date, (0 << 9) | (1 << 5) | 1);
  EXPECT_EQ(first.time, 0);
  for (int year : {1601, 1970, 1979}) {
    DosDateTime d = toDosDateTime(year, 12, 31, 23, 59, 59);
    EXPECT_EQ(d.date, first.date) << year;
    EXPECT_EQ(d.time, first.time) << year;
  }
  DosDateTime d = toDosDateTime(2026, 12, 8, 17, 30, 45);
  EXPECT_EQ(d.date, ((2026 - 1980) << 9) | (12 << 5) | 8);
  EXPECT_EQ(d.time, (17 << 11) | (30 << 5) | 22);  // two-second steps
  DosDateTime last = toDosDateTime(2107, 12, 31, 23, 59, 58);
  DosDateTime later = toDosDateTime(2200, 1, 1, 0, 0, 0);
  EXPECT_EQ(later.date, last.date);
  EXPECT_EQ(later.time, last.time);
}

// A file system whose read runs out of memory, as a 1.9 GB text does in a
// 32-bit process.
class ExhaustedFileSystem final : public FileSystem {
 public:
  FileReadStatus readFile(const std::string&, std::vector<uint8_t>&) override { throw std::bad_alloc(); }
  bool writeFile(const std::string&, const void*, size_t) override { return false; }
  bool fileExists(const std::string&) override { return true; }
  bool findFile(const std::string&, FileInfo&) override { return true; }
  bool copyFile(const std::string&, const std::string&) override { return false; }
  bool createDirectories(const std::string&) override { return false; }
};

TEST(ProfileTexts, UnreadableTextsAreNamedAndTooLargeOnesStop) {
  test::MemoryFileSystem fs;
  SilentReporter reporter;
  SourceFiles sources(fs, reporter, "C:\\Proj\\demo.tbw");
  EXPECT_FALSE(sources.textFile("lizenz.txt", "Lizenz-Datei"));
  ASSERT_EQ(reporter.messages.size(), 1u);
  EXPECT_EQ(reporter.messages[0],
            "Die Lizenz-Datei \"C:\\Proj\\lizenz.txt\" kann nicht gelesen werden (nicht lesbar); das Paket wird "
            "ohne sie erzeugt.");
  EXPECT_EQ(textFileLeftOutMessage("Read-Me-Datei", "C:\\a.txt", "Sharing violation."),
            "Die Read-Me-Datei \"C:\\a.txt\" kann nicht gelesen werden (Sharing violation); das Paket wird ohne sie "
            "erzeugt.");

  ExhaustedFileSystem exhausted;
  SourceFiles big(exhausted, reporter, "C:\\Proj\\demo.tbw");
  EXPECT_EQ(stopMessage([&] { big.textFile("lizenz.txt", "Lizenz-Datei"); }),
            "Der Arbeitsspeicher reicht nicht f\xFCr die Datei \"C:\\Proj\\lizenz.txt\". Erzeugung abgebrochen.");
  std::string caption = "Haupttitel-Bitmap";
  EXPECT_NE(stopMessage([&] { big.openBitmap("titel.bmp", &caption); }).find("\"C:\\Proj\\titel.bmp\""),
            std::string::npos);
}

}  // namespace
}  // namespace tw
