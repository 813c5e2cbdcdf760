// The install run's journal: what a run notes while it writes files and
// registry values, and that an undo brings the machine back to where it
// was, a commit keeps the run's work and drops the kept originals.
#include <gtest/gtest.h>

#include "setup/core/removal/folder_lock.h"
#include "setup/core/engine/install_journal.h"
#include "tests/support/memory_file_system.h"
#include "tests/support/memory_registry.h"

namespace tw {
namespace {

// The journal's file services over the in-memory file system; paths that
// are "in use" refuse to be renamed or deleted, and the restart schedule
// is a list of pairs.
class MemoryJournalFiles final : public JournalFiles {
 public:
  explicit MemoryJournalFiles(test::MemoryFileSystem& fs) : fs_(fs) {}
  std::set<std::string> inUse, hidden;
  std::vector<std::pair<std::string, std::string>> scheduled;

  bool deleteFile(const std::string& path) override {
    if (inUse.count(path)) return false;
    fs_.files.erase(path);
    return true;
  }
  bool moveFile(const std::string& from, const std::string& to) override {
    auto it = fs_.files.find(from);
    if (it == fs_.files.end() || inUse.count(from) || inUse.count(to)) return false;
    fs_.files[to] = it->second;
    fs_.files.erase(from);
    hidden.erase(from);
    return true;
  }
  bool removeDirectory(const std::string& path) override {
    std::string prefix = path + "\\";
    for (const auto& f : fs_.files)
      if (f.first.compare(0, prefix.size(), prefix) == 0) return false;
    for (const auto& d : fs_.folders)
      if (d.compare(0, prefix.size(), prefix) == 0) return false;
    return fs_.folders.erase(path) != 0;
  }
  bool cancelRestartReplacement(const std::string& target, const std::string& temporary) override {
    for (size_t i = 0; i < scheduled.size(); ++i)
      if (scheduled[i] == std::make_pair(target, temporary)) {
        scheduled.erase(scheduled.begin() + static_cast<long>(i));
        return true;
      }
    return false;
  }
  bool exists(const std::string& path) override { return fs_.files.count(path) || fs_.folders.count(path); }
  bool renameAside(const std::string& from, const std::string& to) override {
    if (exists(to) || !moveFile(from, to)) return false;
    hidden.insert(to);
    return true;
  }

 private:
  test::MemoryFileSystem& fs_;
};

std::vector<uint8_t> bytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

class JournalTest : public ::testing::Test {
 protected:
  test::MemoryFileSystem fs;
  MemoryJournalFiles files{fs};
  test::MemoryRegistry registry;
  InstallJournal journal;
  JournalingRegistry journaled{registry, journal};

  // What the runtime does for one file: make room, then write it.
  bool install(const std::string& path, const std::string& content) {
    if (!prepareFileWrite(journal, files, path)) return false;
    fs.files[path] = bytes(content);
    return true;
  }
  void makeFolder(const std::string& path) {
    fs.folders.insert(path);
    journal.directoryCreated(path);
  }
  void writeText(RegistryRoot root, const std::string& path, const std::string& name, const std::string& text) {
    RegistryKeys::Key key;
    ASSERT_TRUE(journaled.open(journaled.root(root), path, true, key));
    EXPECT_TRUE(journaled.setValue(key, name, 1, text.data(), text.size()));
    journaled.close(key);
  }
};

TEST_F(JournalTest, UndoRemovesCreatedFilesAndFoldersAndRestoresReplacedOnes) {
  fs.folders.insert("C:\\Apps");
  fs.put("C:\\Apps\\Old\\keep.txt", bytes("user data"));
  fs.folders.insert("C:\\Apps\\Old");
  fs.put("C:\\Apps\\Old\\notiz.txt", bytes("old notes"));
  auto before = fs.files;
  auto foldersBefore = fs.folders;

  makeFolder("C:\\Apps\\New");
  makeFolder("C:\\Apps\\New\\Sub");
  ASSERT_TRUE(install("C:\\Apps\\New\\Sub\\a.dll", "new a"));
  ASSERT_TRUE(install("C:\\Apps\\Old\\notiz.txt", "new notes"));
  // A second write of one file in one run keeps the first original.
  ASSERT_TRUE(install("C:\\Apps\\Old\\notiz.txt", "newer notes"));
  ASSERT_TRUE(install("C:\\Apps\\New\\Sub\\a.dll", "new a again"));

  // The original waits hidden in its own folder under a temporary name.
  ASSERT_EQ(files.hidden.size(), 1u);
  const std::string aside = *files.hidden.begin();
  EXPECT_EQ(aside.rfind("C:\\Apps\\Old\\~ZR", 0), 0u) << aside;
  EXPECT_EQ(fs.files[aside], bytes("old notes"));

  UndoResult result = journal.undo(files, registry);
  EXPECT_TRUE(result.complete());
  EXPECT_EQ(fs.files, before);
  EXPECT_EQ(fs.folders, foldersBefore);
  EXPECT_TRUE(journal.empty());
}

TEST_F(JournalTest, CommitKeepsTheRunsFilesAndDropsTheKeptOriginals) {
  fs.folders.insert("C:\\App");
  fs.put("C:\\App\\SETUP.EXE", bytes("earlier uninstaller"));
  ASSERT_TRUE(install("C:\\App\\SETUP.EXE", "uninstaller"));
  ASSERT_TRUE(install("C:\\App\\SETUP.DLL", "module"));
  EXPECT_TRUE(journal.commit(files).empty());
  EXPECT_EQ(fs.files.size(), 2u);
  EXPECT_EQ(fs.files["C:\\App\\SETUP.EXE"], bytes("uninstaller"));
  EXPECT_EQ(fs.files["C:\\App\\SETUP.DLL"], bytes("module"));
  // Nothing is left to undo after a commit.
  EXPECT_EQ(journal.undo(files, registry).undone, 0u);
  EXPECT_EQ(fs.files.size(), 2u);
}

TEST_F(JournalTest, KeptAsideNamesSkipLeftoversAndInUseFilesAreNotNoted) {
  fs.put("C:\\App\\a.txt", bytes("a"));
  // A kept original an earlier, killed run left behind is not overwritten.
  fs.put(keepAsideName("C:\\App\\a.txt", 0), bytes("leftover"));
  ASSERT_TRUE(install("C:\\App\\a.txt", "new"));
  EXPECT_EQ(fs.files[keepAsideName("C:\\App\\a.txt", 0)], bytes("leftover"));

  fs.put("C:\\App\\busy.dll", bytes("busy"));
  files.inUse.insert("C:\\App\\busy.dll");
  size_t noted = journal.entries().size();
  EXPECT_FALSE(prepareFileWrite(journal, files, "C:\\App\\busy.dll"));
  EXPECT_EQ(journal.entries().size(), noted);

  journal.undo(files, registry);
  EXPECT_EQ(fs.files["C:\\App\\a.txt"], bytes("a"));
  EXPECT_EQ(fs.files["C:\\App\\busy.dll"], bytes("busy"));
  EXPECT_EQ(fs.files.size(), 3u);
}

TEST_F(JournalTest, UndoReportsWhatStaysAndGoesOnWithTheRest) {
  fs.folders.insert("C:\\App");
  ASSERT_TRUE(install("C:\\App\\one.txt", "1"));
  ASSERT_TRUE(install("C:\\App\\two.txt", "2"));
  files.inUse.insert("C:\\App\\two.txt");
  UndoResult result = journal.undo(files, registry);
  ASSERT_EQ(result.left.size(), 1u);
  EXPECT_EQ(result.left[0], "C:\\App\\two.txt");
  EXPECT_EQ(result.undone, 1u);
  EXPECT_FALSE(fs.files.count("C:\\App\\one.txt"));
}

TEST_F(JournalTest, RestartReplacementsAreUnscheduledAndTheirDataRemoved) {
  fs.put("C:\\Win\\System\\shared.dll", bytes("old, in use"));
  fs.put("C:\\Win\\System\\shared.dl_", bytes("new"));
  journal.restartReplacement("C:\\Win\\System\\shared.dll", "C:\\Win\\System\\shared.dl_");
  files.scheduled.push_back({"C:\\Win\\System\\shared.dll", "C:\\Win\\System\\shared.dl_"});
  files.scheduled.push_back({"C:\\Other\\x.dll", "C:\\Other\\x.dl_"});
  EXPECT_TRUE(journal.undo(files, registry).complete());
  ASSERT_EQ(files.scheduled.size(), 1u);
  EXPECT_EQ(files.scheduled[0].first, "C:\\Other\\x.dll");
  EXPECT_FALSE(fs.files.count("C:\\Win\\System\\shared.dl_"));
  EXPECT_EQ(fs.files["C:\\Win\\System\\shared.dll"], bytes("old, in use"));
}

TEST_F(JournalTest, RegistryUndoRestoresOldValuesAndDeletesNewKeys) {
  registry.put("HKLM\\Software\\Classes\\.notiz", "", "txtfile");
  registry.put("HKCU\\Software\\Vendor", "Keep", "yes");
  auto before = registry.keys;

  writeText(RegistryRoot::LocalMachine, "Software\\Classes\\.notiz", "", "NotizblockPro.Notiz");
  writeText(RegistryRoot::LocalMachine, "Software\\Classes\\.notiz", "", "written twice");
  writeText(RegistryRoot::LocalMachine, "Software\\Classes\\.notiz", "Content Type", "text/plain");
  writeText(RegistryRoot::CurrentUser, "Software\\Vendor\\App\\2.5\\Settings", "Path", "C:\\App");
  writeText(RegistryRoot::CurrentUser, "Software\\Vendor\\App", "Extra", "x");
  EXPECT_EQ(registry.keys.size(), before.size() + 3);

  // Only the first write of a value, no value of a new key and only the
  // uppermost new key (its tree goes with it) is noted.
  size_t values = 0, keys = 0;
  for (const JournalEntry& e : journal.entries()) {
    values += e.step == JournalStep::ValueWritten;
    keys += e.step == JournalStep::KeyCreated;
  }
  EXPECT_EQ(values, 2u);
  EXPECT_EQ(keys, 1u);

  EXPECT_TRUE(journal.undo(files, registry).complete());
  EXPECT_EQ(registry.keys, before);
  EXPECT_EQ(registry.openCount, 0);
}

TEST_F(JournalTest, ValuesDeletedByTheRunComeBackAndDeletingKeysIsRefused) {
  registry.put("HKLM\\Software\\App", "Old", "value");
  auto before = registry.keys;
  RegistryKeys::Key key;
  ASSERT_TRUE(journaled.open(journaled.root(RegistryRoot::LocalMachine), "Software\\App", false, key));
  journaled.deleteValue(key, "Old");
  journaled.close(key);
  EXPECT_FALSE(journaled.deleteKey(journaled.root(RegistryRoot::LocalMachine), "Software\\App"));
  EXPECT_TRUE(registry.keys["HKLM\\Software\\App"].empty());
  journal.undo(files, registry);
  EXPECT_EQ(registry.keys, before);
}

TEST_F(JournalTest, AKeyThatCannotBeCreatedLeavesNothingNoted) {
  registry.refused.insert("HKLM\\Software\\Locked");
  RegistryKeys::Key key;
  EXPECT_FALSE(journaled.open(journaled.root(RegistryRoot::LocalMachine), "Software\\Locked\\App", true, key));
  EXPECT_TRUE(journal.empty());
}

TEST_F(JournalTest, WholeRunUndoneInReverseOrder) {
  // Files, folders, the uninstall entry and a shared count together: the
  // undo leaves both worlds as they were.
  fs.folders.insert("C:\\Program Files");
  fs.put("C:\\Program Files\\Common\\shared.dll", bytes("v1"));
  fs.folders.insert("C:\\Program Files\\Common");
  registry.put("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs",
               "C:\\Program Files\\Common\\shared.dll", "\x01");
  auto filesBefore = fs.files;
  auto foldersBefore = fs.folders;
  auto keysBefore = registry.keys;

  makeFolder("C:\\Program Files\\Vendor");
  makeFolder("C:\\Program Files\\Vendor\\App");
  ASSERT_TRUE(install("C:\\Program Files\\Vendor\\App\\SETUP.EXE", "uninstaller"));
  ASSERT_TRUE(install("C:\\Program Files\\Common\\shared.dll", "v2"));
  writeText(RegistryRoot::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs",
            "C:\\Program Files\\Common\\shared.dll", "\x02");
  writeText(RegistryRoot::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\App 1.0",
            "UninstallString", "\"C:\\Program Files\\Vendor\\App\\SETUP.EXE\" ZETUREMOVE");
  makeFolder("C:\\Programs\\App");
  ASSERT_TRUE(install("C:\\Programs\\App\\App.lnk", "link"));

  EXPECT_TRUE(journal.undo(files, registry).complete());
  EXPECT_EQ(fs.files, filesBefore);
  EXPECT_EQ(fs.folders, foldersBefore);
  EXPECT_EQ(registry.keys, keysBefore);
}

TEST(RenameText, OnlyTheRunsLineLeavesTheRenameSection) {
  const std::string text =
      "[Rename]\r\nNUL=C:\\TEMP\\OLD.EXE\r\nC:\\APP\\NOTIZ.TXT=C:\\APP\\NOTIZ.TX_\r\n"
      "C:\\OTHER\\NOTIZ.TXT=C:\\APP\\NOTIZ.TX_\r\n[Other]\r\nC:\\APP\\NOTIZ.TXT=C:\\APP\\NOTIZ.TX_\r\n";
  std::string out = withoutRenameLine(text, "c:\\app\\notiz.txt", "C:\\APP\\notiz.tx_");
  EXPECT_EQ(out,
            "[Rename]\r\nNUL=C:\\TEMP\\OLD.EXE\r\nC:\\OTHER\\NOTIZ.TXT=C:\\APP\\NOTIZ.TX_\r\n"
            "[Other]\r\nC:\\APP\\NOTIZ.TXT=C:\\APP\\NOTIZ.TX_\r\n");
  EXPECT_EQ(withoutRenameLine(text, "C:\\NONE", "C:\\APP\\NOTIZ.TX_"), text);
}

std::vector<uint8_t> multi(std::initializer_list<std::string> parts) {
  std::vector<uint8_t> out;
  for (const std::string& p : parts) {
    out.insert(out.end(), p.begin(), p.end());
    out.push_back(0);
  }
  out.push_back(0);
  return out;
}

TEST(PendingRenames, ThePairOfTheTemporaryGoesOthersStay) {
  std::vector<uint8_t> value =
      multi({"\\??\\C:\\A\\x.tmp", "!\\??\\C:\\A\\x.dll", "\\??\\C:\\B\\y.tmp", "!\\??\\C:\\B\\y.dll"});
  std::vector<uint8_t> out;
  EXPECT_TRUE(withoutPendingRename(value, "c:\\a\\X.TMP", out));
  EXPECT_EQ(out, multi({"\\??\\C:\\B\\y.tmp", "!\\??\\C:\\B\\y.dll"}));
  EXPECT_TRUE(withoutPendingRename(out, "C:\\B\\y.tmp", out));
  EXPECT_EQ(out, multi({}));
  EXPECT_FALSE(withoutPendingRename(value, "C:\\A\\x.dll", out));
  EXPECT_EQ(out, value);
}

TEST(FolderLock, OneNamePerFolderWhateverItsSpelling) {
  std::string name = folderLockName("C:\\Program Files\\Vendor\\App");
  EXPECT_EQ(name, folderLockName("c:/program files/vendor/app\\"));
  EXPECT_EQ(name, folderLockName("C:\\Program Files\\\\Vendor\\App\\\\"));
  EXPECT_NE(name, folderLockName("C:\\Program Files\\Vendor\\App2"));
  EXPECT_NE(name, folderLockName("D:\\Program Files\\Vendor\\App"));
  EXPECT_EQ(name.find('\\'), std::string::npos);
  EXPECT_LT(name.size(), 64u);
}

}  // namespace
}  // namespace tw
