// Modes, the resource DLL name, the 16-bit system folder, the component table.
#include <gtest/gtest.h>

#include "setup/core/main/startup_rules.h"

namespace tw {
namespace {

TEST(StartupRules, ModesFromTheCommandLine) {
  SetupCommand install = parseSetupCommand({"ZETUFINST", "C:\\Downloads\\paket.exe"});
  EXPECT_EQ(install.mode, SetupMode::Install);
  EXPECT_EQ(install.startStep, -2);
  EXPECT_EQ(install.packagePath, "C:\\Downloads\\paket.exe");
  EXPECT_EQ(parseSetupCommand({"ZETUFINISH", "C:\\X"}).startStep, 12);
  EXPECT_EQ(parseSetupCommand({}).mode, SetupMode::Maintenance);
  EXPECT_EQ(parseSetupCommand({}).startStep, 13);
  SetupCommand ask = parseSetupCommand({"ZETUREMOVE"});
  EXPECT_TRUE(ask.askFirst);
  EXPECT_EQ(ask.startStep, 14);
  SetupCommand copy = parseSetupCommand({"ZETUREMOVE", "C:\\X", "1234"});
  EXPECT_EQ(copy.mode, SetupMode::Uninstall);
  EXPECT_FALSE(copy.askFirst);
  EXPECT_EQ(copy.waitForProcess, 1234u);
  EXPECT_EQ(parseSetupCommand({"zetufinst", "x"}).mode, SetupMode::Unknown);  // case-sensitive
  EXPECT_EQ(parseSetupCommand({"ZETUREMOVE", "C:\\X", "12ab"}).mode, SetupMode::Unknown);
  EXPECT_EQ(parseSetupCommand({"ZETUFINST"}).mode, SetupMode::Unknown);
}

TEST(StartupRules, SwitchesFollowTheKeywords) {
  SetupCommand install = parseSetupCommand({"ZETUFINST", "C:\\p.exe", "/S", "-DIR=C:\\X", "extra"});
  EXPECT_EQ(install.mode, SetupMode::Install);
  EXPECT_EQ(install.packagePath, "C:\\p.exe");
  // A word after a switch belongs to the switches, where it is refused.
  EXPECT_EQ(install.switches, (std::vector<std::string>{"/S", "-DIR=C:\\X", "extra"}));
  SetupCommand remove = parseSetupCommand({"ZETUREMOVE", "/S"});
  EXPECT_EQ(remove.mode, SetupMode::Uninstall);
  EXPECT_TRUE(remove.askFirst);
  SetupCommand copy = parseSetupCommand({"ZETUREMOVE", "C:\\X", "12", "/S", "/LOG=C:\\l.log"});
  EXPECT_EQ(copy.waitForProcess, 12u);
  EXPECT_EQ(copy.switches.size(), 2u);
  SetupCommand maintenance = parseSetupCommand({"/S"});
  EXPECT_EQ(maintenance.mode, SetupMode::Maintenance);
  EXPECT_EQ(maintenance.switches, (std::vector<std::string>{"/S"}));
  EXPECT_TRUE(parseSetupCommand({"ZETUFINST", "C:\\p.exe"}).switches.empty());
}

TEST(StartupRules, ResourceDllAndFolders) {
  EXPECT_EQ(resourceDllPath("C:\\TEMP\\ZET1A2B\\_SETUP.EXE"), "C:\\TEMP\\ZET1A2B\\_SETUP.DLL");
  EXPECT_EQ(resourceDllPath("C:\\X\\setup.exe"), "C:\\X\\setup.DLL");
  EXPECT_EQ(resourceDllPath("C:\\X\\setup.ex"), "C:\\X\\setupDLL");  // exactly three characters
  EXPECT_EQ(sixteenBitSystemFolder("C:\\WINDOWS\\system32", true), "C:\\WINDOWS\\system");
  EXPECT_EQ(sixteenBitSystemFolder("C:\\WINDOWS\\SYSTEM", false), "C:\\WINDOWS\\SYSTEM");
}

TEST(StartupRules, ComponentTableCountsCabinetsOverComponentsWithOne) {
  auto record = [](uint32_t flags, int32_t size) {
    ComponentRecord r;
    r.flags = flags;
    r.size = size;
    r.fileCount = 3;
    return r;
  };
  std::vector<ComponentEntry> t = buildComponentTable(
      {record(0, 100), record(0x10, 50), record(0x20, 0), record(0x24, 7), record(0x80 | (3 << 16), 0)});
  EXPECT_EQ(t[0].cabinetIndex, 0);
  EXPECT_EQ(t[1].cabinetIndex, -1);  // uncompressed
  EXPECT_EQ(t[2].cabinetIndex, -1);  // size 0 (dummies only)
  EXPECT_EQ(t[3].cabinetIndex, 1);
  EXPECT_EQ(t[4].cabinetIndex, -1);  // registry
  EXPECT_EQ(t[4].directoriesCreated, -1);
  EXPECT_EQ(t[0].state, 1);
  EXPECT_EQ(t[2].state, 0);  // "not selected at start"
  EXPECT_EQ(t[4].flags, 0x80);  // the low 16 bits
}

// Needs pass 4 GiB: a few large files in one component, or several large
// components, must not wrap into a figure that fits on a small drive.
TEST(StartupRules, NeededBytesAddUpPastFourGibibytes) {
  constexpr uint64_t kGiB = 1ull << 30;
  std::vector<ComponentEntry> t(4);
  addFileNeed(t[0], 3 * kGiB, 0);
  addFileNeed(t[0], 3 * kGiB, 1 * kGiB);  // replaces a smaller file: adds the difference
  addFileNeed(t[0], 1 * kGiB, 2 * kGiB);  // smaller than what it replaces: adds nothing
  EXPECT_EQ(t[0].needed, 5 * kGiB);
  addFileNeed(t[1], 5 * kGiB + 7, 0);  // one file over 4 GiB
  EXPECT_EQ(t[1].needed, 5 * kGiB + 7);
  t[2].size = -1;  // a damaged size counts as nothing, not as 4 GiB
  t[2].needed = componentSize(t[2]);
  t[3].size = 0x7FFFFFFF;
  t[3].needed = componentSize(t[3]);
  EXPECT_EQ(t[3].needed, 0x7FFFFFFFu);

  uint64_t all = neededBytes(t, {0, 1, 2, 3, -1, 9}, {true, true, true, true});
  EXPECT_EQ(all, 10 * kGiB + 7 + 0x7FFFFFFF);
  EXPECT_FALSE(fitsInFreeSpace(all, 8 * kGiB));  // 32 bits would have made it about 2 GiB, which fits
  EXPECT_TRUE(fitsInFreeSpace(all, all));
  EXPECT_EQ(neededBytes(t, {0, 1}, {false, true}), 5 * kGiB + 7);
  EXPECT_EQ(neededBytes(t, {1}, {}), 0u);
}

// Only the dispatcher's _SETUP.EXE in its run folder, started to install
// or to continue after a restart, hands its own folder to the remover.
TEST(StartupRules, OnlyTheDispatchersWorkFolderIsRemoved) {
  const std::string temp = "C:\\Users\\Ann\\Temp\\";
  const std::string work = "C:\\Users\\Ann\\Temp\\ZET0123456789ABCDEF";
  SetupCommand install = parseSetupCommand({"ZETUFINST", "C:\\Downloads\\paket.exe"});
  SetupCommand finish = parseSetupCommand({"ZETUFINISH", "C:\\Programme\\Notizblock"});
  EXPECT_EQ(work, workFolderToRemove(install, work + "\\_SETUP.EXE", temp));
  EXPECT_EQ(work, workFolderToRemove(install, work + "\\_Setup.exe", temp));
  EXPECT_EQ(work, workFolderToRemove(finish, work + "\\_SETUP.EXE", temp));
  // The installed copy, a copy on the desktop, with or without arguments.
  for (const std::string& program :
       {std::string("C:\\Programme\\Notizblock\\SETUP.EXE"), std::string("C:\\Users\\Ann\\Desktop\\SETUP.EXE"),
        std::string("C:\\Users\\Ann\\Desktop\\_SETUP.EXE"), work + "\\SETUP.EXE",
        std::string("C:\\Users\\Ann\\Temp\\_SETUP.EXE"), temp + "ZET1A2B\\_SETUP.EXE",
        temp + "ZET0123456789ABCDEF\\sub\\_SETUP.EXE"}) {
    EXPECT_EQ("", workFolderToRemove(install, program, temp)) << program;
    EXPECT_EQ("", workFolderToRemove(finish, program, temp)) << program;
  }
  // The work folder's program in any other mode keeps its folder.
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{}, std::vector<std::string>{"ZETUREMOVE"},
        std::vector<std::string>{"ZETUREMOVE", work, "12"}, std::vector<std::string>{"ANDERS"}})
    EXPECT_EQ("", workFolderToRemove(parseSetupCommand(args), work + "\\_SETUP.EXE", temp));
  EXPECT_EQ("", workFolderToRemove(install, work + "\\_SETUP.EXE", ""));
}

std::vector<uint8_t> programWithRecord(const std::string& program, const std::string& folder) {
  UninstallRecord record;
  record.installDirLevels = 2;
  record.entries.resize(1);
  record.entries[0].value = kEntryRegistryInstalled;
  record.programFolder = folder;
  record.componentCount = 1;
  std::vector<uint8_t> file(program.begin(), program.end());
  std::vector<uint8_t> tail = encodeUninstallRecord(record);
  file.insert(file.end(), tail.begin(), tail.end());
  return file;
}

TEST(StartupRules, SameUninstallRecordOnlyForTheSameRecord) {
  auto installed = programWithRecord("MZ program", "Notizblock");
  EXPECT_TRUE(sameUninstallRecord(installed, programWithRecord("MZ program", "Notizblock")));
  // The record decides, not the program in front of it.
  EXPECT_TRUE(sameUninstallRecord(installed, programWithRecord("MZ other program", "Notizblock")));
  EXPECT_FALSE(sameUninstallRecord(installed, programWithRecord("MZ program", "Notizbuch!")));
  EXPECT_FALSE(sameUninstallRecord(installed, programWithRecord("MZ program", "Notiz")));
  std::vector<uint8_t> noRecord = {'M', 'Z', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_FALSE(sameUninstallRecord(installed, noRecord));
  EXPECT_FALSE(sameUninstallRecord(noRecord, noRecord));
  EXPECT_FALSE(sameUninstallRecord({}, {}));
}

}  // namespace
}  // namespace tw
