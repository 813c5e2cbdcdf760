// The journal of one install run: every change the run makes to files,
// folders and the registry, in order, with what is needed to take it back.
// A run that fails or is cancelled undoes the journal from its end; a run
// that succeeds commits it, which only removes the originals it kept aside.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/registry.h"
#include "setup/core/registration/registry_entry_tree.h"

namespace tw {

enum class JournalStep : uint8_t {
  FileCreated,         // path: a file that was not there
  FileReplaced,        // path: the file written; aside: where its original waits
  DirectoryCreated,    // path: a folder that was not there
  KeyCreated,          // root + path: a registry key that was not there
  ValueWritten,        // root + path + name: the old value (or none) below
  RestartReplacement,  // path: the file to replace at restart; aside: the new data's file
};

struct JournalEntry {
  JournalStep step = JournalStep::FileCreated;
  std::string path;
  std::string aside;
  RegistryRoot root = RegistryRoot::LocalMachine;
  std::string name;
  bool hadValue = false;
  uint32_t type = 0;
  std::vector<uint8_t> data;
};

// The file services an undo needs; the runtime performs them with Win32,
// tests with an in-memory fake.
class JournalFiles {
 public:
  virtual ~JournalFiles() = default;
  // Removes a file (whatever its attributes); true when it is gone.
  virtual bool deleteFile(const std::string& path) = 0;
  // Renames `from` to `to`, replacing a file at `to`.
  virtual bool moveFile(const std::string& from, const std::string& to) = 0;
  // Removes a folder; fails while anything is in it.
  virtual bool removeDirectory(const std::string& path) = 0;
  // Takes back a replacement scheduled for the next restart.
  virtual bool cancelRestartReplacement(const std::string& target, const std::string& temporary) = 0;
  // Whether a file or folder of that name exists.
  virtual bool exists(const std::string& path) = 0;
  // Renames `from` to the free name `to` (never replacing) and hides it.
  virtual bool renameAside(const std::string& from, const std::string& to) = 0;
};

// What an undo could not take back, for the message and the tests.
struct UndoResult {
  size_t undone = 0;
  std::vector<std::string> left;  // paths (files, folders, keys) that stayed
  bool complete() const { return left.empty(); }
};

class InstallJournal {
 public:
  void clear() { entries_.clear(); }
  const std::vector<JournalEntry>& entries() const { return entries_; }
  bool empty() const { return entries_.empty(); }

  // Whether the run already owns the file at `path`: created it, or kept
  // its original aside. A second write needs no new entry then.
  bool ownsFile(const std::string& path) const;
  void fileCreated(const std::string& path);
  void fileReplaced(const std::string& path, const std::string& aside);
  void directoryCreated(const std::string& path);
  void restartReplacement(const std::string& target, const std::string& temporary);

  bool ownsKey(RegistryRoot root, const std::string& path) const;
  void keyCreated(RegistryRoot root, const std::string& path);
  // Only the first write of a value counts: that holds the value from
  // before the run. Writes into a key the run created are not noted.
  bool valueNoted(RegistryRoot root, const std::string& path, const std::string& name) const;
  void valueWritten(RegistryRoot root, const std::string& path, const std::string& name, bool hadValue,
                    uint32_t type, const void* data, size_t size);

  // Takes everything back, newest first. The journal is empty afterwards.
  UndoResult undo(JournalFiles& files, RegistryKeys& registry);
  // The run succeeded: the kept-aside originals go. Returns the paths that
  // could not be removed (they are hidden temporary files).
  std::vector<std::string> commit(JournalFiles& files);

 private:
  std::vector<JournalEntry> entries_;
};

// Before the run writes the file at `path`: an existing file the run does
// not own yet is renamed aside in its own folder (the undo brings it back,
// the commit removes it), a missing one is noted as created. False when
// the existing file cannot be moved (in use, for instance): nothing is
// noted then.
bool prepareFileWrite(InstallJournal& journal, JournalFiles& files, const std::string& path);

// Where the original of `target` waits while a run replaces it: a name of
// the same folder, `attempt` making it unique ("~ZR<attempt>.TMP").
std::string keepAsideName(const std::string& target, unsigned attempt);

// Paths and key paths compare without regard to case (ASCII), with "/" and
// "\" alike, as the file system and the registry do.
bool samePath(const std::string& a, const std::string& b);

// WININIT.INI text without the "[Rename]" line `target=temporary`, other
// lines and the line ends as they were.
std::string withoutRenameLine(const std::string& text, const std::string& target, const std::string& temporary);

// A PendingFileRenameOperations value (REG_MULTI_SZ pairs of source and
// target, "\??\" prefixed) without the pair whose source is `temporary`.
// Returns false when no pair matched; `out` holds the value to write back.
bool withoutPendingRename(const std::vector<uint8_t>& value, const std::string& temporary,
                          std::vector<uint8_t>& out);

// The registry of the run with every change noted in `journal`. Keys are
// those of `inner`; the decorator keeps their paths.
class JournalingRegistry final : public RegistryKeys {
 public:
  JournalingRegistry(RegistryKeys& inner, InstallJournal& journal) : inner_(inner), journal_(journal) {}
  Key root(RegistryRoot root) override;
  bool open(Key parent, const std::string& path, bool create, Key& out) override;
  void close(Key key) override;
  bool setValue(Key key, const std::string& name, uint32_t type, const void* data, size_t size) override;
  void deleteValue(Key key, const std::string& name) override;
  bool deleteKey(Key parent, const std::string& path) override;
  std::vector<std::string> subkeys(Key key) override { return inner_.subkeys(key); }
  bool isEmpty(Key key) override { return inner_.isEmpty(key); }
  bool readValue(Key key, const std::string& name, uint32_t& type, std::vector<uint8_t>& data) override {
    return inner_.readValue(key, name, type, data);
  }

 private:
  struct Place {
    Key key;
    RegistryRoot root;
    std::string path;
  };
  const Place* place(Key key) const;
  void noteValue(Key key, const std::string& name);

  RegistryKeys& inner_;
  InstallJournal& journal_;
  std::vector<Place> places_;
};

}  // namespace tw
