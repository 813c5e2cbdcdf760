// The build's start checks, the type check and the file scan.
#include <gtest/gtest.h>

#include <memory>

#include "builder/package/build_checks.h"
#include "builder/package/build_context.h"
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

class BuildChecks : public ::testing::Test {
 protected:
  void SetUp() override {
    p.ResetProject(NoLanguageTexts());
    p.ProjectPath = "C:\\my.dir\\demo.tbw";
    p.DefSrcPathValue = "D:\\src";
    p.EditApp = "Demo";
    p.EditVer = "1";
    p.EditVer2 = "8";
    p.EditCompany = "Firma";
  }
  TreeNode& program() { return *p.fileComponentsRoot()->children[0]; }
  ProjectDocument p;
  test::MemoryFileSystem fs;
};

TEST_F(BuildChecks, RequiredFields) {
  EXPECT_FALSE(checkRequiredFields(p));
  p.EditVer.clear();
  EXPECT_EQ(*checkRequiredFields(p),
            "Die Felder \"Name der Anwendung\" und \"Version\" m\xFCssen ausgef\xFCllt sein!");
  p.EditVer = "1";
  p.EditCompany.clear();
  EXPECT_FALSE(checkRequiredFields(p));
  p.CheckListBox1[5] = true;  // "Benutzerinformation"
  EXPECT_EQ(checkRequiredFields(p)->substr(0, 27), "Das Feld \"Firmenname\" mu\xDF a");
  EXPECT_NE(checkRequiredFields(p)->find("dialogbox\r\nBenutzerdaten"), std::string::npos);
}

TEST_F(BuildChecks, PackageNameRules) {
  EXPECT_EQ(derivedPackagePath(p), "C:\\mydir\\Demo18.exe");
  p.EditDefGen = "E:\\out\\paket.exe";
  EXPECT_EQ(proposedPackagePath(p, fs), "C:\\mydir\\Demo18.exe");  // E:\out does not exist
  fs.folders.insert("E:\\out");
  EXPECT_EQ(proposedPackagePath(p, fs), "E:\\out\\paket.exe");
  p.LastPackagePath = "F:\\x\\letztes.exe";
  EXPECT_EQ(proposedPackagePath(p, fs), "E:\\out\\paket.exe");
  fs.folders.insert("F:\\x");
  EXPECT_EQ(proposedPackagePath(p, fs), "F:\\x\\letztes.exe");
}

TEST_F(BuildChecks, EveryTypeNeedsAComponentButAnEmptyNetworkTypePasses) {
  const char kEmpty[] = "Mindestens ein Installationstyp enth\xE4lt keine Komponenten! Erzeugung abgebrochen.";
  EXPECT_EQ(stopMessage([&] { validateComponents(p); }), kEmpty);
  p.typeRoot(kTypeNormal)->addChild("Programmdateien", 0);
  EXPECT_EQ(stopMessage([&] { validateComponents(p); }), "(no stop)");
  p.addInstallationType(kTypeNetzwerk, NoLanguageTexts());
  EXPECT_EQ(stopMessage([&] { validateComponents(p); }), "(no stop)");
  p.addInstallationType(kTypeMinimal, NoLanguageTexts());
  EXPECT_EQ(stopMessage([&] { validateComponents(p); }), kEmpty);
}

TEST_F(BuildChecks, ScanSumsSizesAndCountsCabinets) {
  program().addChild("[DefSrcPath]\\a\\b.dll", kPictureFileEntry);
  program().addChild("C:\\abs\\c.txt", kPictureFileEntry).value = 0x20;
  fs.put("D:\\src\\a\\b.dll", std::vector<uint8_t>(100));
  fs.put("C:\\abs\\c.txt", std::vector<uint8_t>(23));
  fs.readOnly.insert("D:\\src\\a\\b.dll");
  TreeNode& dummies = p.fileComponentsRoot()->addChild("Nur Platzhalter", 0);
  dummies.komp = std::make_unique<KompRec>();
  dummies.komp->path = "<InstallDir>";
  dummies.addChild("Setup.exe", kPictureDummyEntry);
  TreeNode& raw = p.fileComponentsRoot()->addChild("Roh", 0);
  raw.komp = std::make_unique<KompRec>();
  raw.komp->path = "<InstallDir>\\roh";
  raw.komp->flags = kKompNoCompression;
  raw.addChild("C:\\abs\\c.txt", kPictureFileEntry);

  ScanResult r = UpdateNodeSize(p, fs, true);
  EXPECT_EQ(program().komp->size, 123);
  EXPECT_EQ(dummies.komp->size, 0);
  EXPECT_EQ(raw.komp->size, 23);
  EXPECT_EQ(r.compressedBytes, 123u);
  EXPECT_EQ(r.componentCabinetCount, 1);
  EXPECT_EQ(program().children[0]->value & 0x20, 0x20);  // read-only source
  EXPECT_EQ(program().children[1]->value & 0x20, 0);

  fs.readOnly.clear();
  UpdateNodeSize(p, fs, true);
  EXPECT_EQ(program().children[0]->value & 0x20, 0);
}

TEST_F(BuildChecks, ScanStops) {
  program().addChild("[DefSrcPath]\\fehlt.dll", kPictureFileEntry);
  EXPECT_EQ(stopMessage([&] { UpdateNodeSize(p, fs, true); }),
            "Die Datei \"D:\\src\\fehlt.dll\" ist nicht vorhanden! Erzeugung abgebrochen.");
  EXPECT_EQ(stopMessage([&] { UpdateNodeSize(p, fs, false); }), "(no stop)");
  program().komp->path.clear();
  EXPECT_EQ(stopMessage([&] { UpdateNodeSize(p, fs, true); }),
            "Sie haben f\xFCr die Dateikomponente \"Programmdateien\"\r\nkein Zielverzeichnis "
            "angegeben. Erzeugung abgebrochen.");
  program().komp->path = "<ProgramFilesDir>\\x";
  program().komp->flags = kKompNoCompression;
  // Made whatever the scan's mode.
  EXPECT_EQ(stopMessage([&] { UpdateNodeSize(p, fs, false); }),
            "Der Installationspfad von \"Programmdateien\" muss mit <InstallDir> beginnen! "
            "Erzeugung abgebrochen.");
}

TEST_F(BuildChecks, SourcePathResolution) {
  EXPECT_EQ(resolveSourcePath(p, "[DefSrcPath]\\a\\b.dll"), "D:\\src\\a\\b.dll");
  EXPECT_EQ(resolveSourcePath(p, "x[DefSrcPath]\\a"), "x[DefSrcPath]\\a");
}

}  // namespace
}  // namespace tw
