// The install run's journal and its undo.
#include "setup/core/engine/install_journal.h"

#include "setup/core/main/path_text.h"

namespace tw {
namespace {

char folded(char c) {
  if (c == '/') return '\\';
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool isFileStep(JournalStep s) { return s == JournalStep::FileCreated || s == JournalStep::FileReplaced; }

std::string rootName(RegistryRoot root) {
  static const char* const kNames[] = {"?", "HKCR", "HKCU", "HKLM", "HKU", "HKCC", "HKDD"};
  int i = static_cast<int>(root);
  return kNames[i >= 1 && i <= 6 ? i : 0];
}

std::string withoutPrefix(std::string path) {
  if (path.compare(0, 4, "\\??\\") == 0) path.erase(0, 4);
  return path;
}

std::string trimmed(const std::string& text) {
  size_t b = text.find_first_not_of(" \t");
  if (b == std::string::npos) return {};
  size_t e = text.find_last_not_of(" \t");
  return text.substr(b, e - b + 1);
}

}  // namespace

bool samePath(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (folded(a[i]) != folded(b[i])) return false;
  return true;
}

bool InstallJournal::ownsFile(const std::string& path) const {
  for (const JournalEntry& e : entries_)
    if (isFileStep(e.step) && samePath(e.path, path)) return true;
  return false;
}

void InstallJournal::fileCreated(const std::string& path) {
  if (ownsFile(path)) return;
  JournalEntry e;
  e.step = JournalStep::FileCreated;
  e.path = path;
  entries_.push_back(std::move(e));
}

void InstallJournal::fileReplaced(const std::string& path, const std::string& aside) {
  JournalEntry e;
  e.step = JournalStep::FileReplaced;
  e.path = path;
  e.aside = aside;
  entries_.push_back(std::move(e));
}

void InstallJournal::directoryCreated(const std::string& path) {
  JournalEntry e;
  e.step = JournalStep::DirectoryCreated;
  e.path = path;
  entries_.push_back(std::move(e));
}

void InstallJournal::restartReplacement(const std::string& target, const std::string& temporary) {
  JournalEntry e;
  e.step = JournalStep::RestartReplacement;
  e.path = target;
  e.aside = temporary;
  entries_.push_back(std::move(e));
}

bool InstallJournal::ownsKey(RegistryRoot root, const std::string& path) const {
  for (const JournalEntry& e : entries_) {
    if (e.step != JournalStep::KeyCreated || e.root != root) continue;
    // The key itself or one below a key the run created.
    if (samePath(e.path, path)) return true;
    if (path.size() > e.path.size() && path[e.path.size()] == '\\' && samePath(e.path, path.substr(0, e.path.size())))
      return true;
  }
  return false;
}

void InstallJournal::keyCreated(RegistryRoot root, const std::string& path) {
  JournalEntry e;
  e.step = JournalStep::KeyCreated;
  e.root = root;
  e.path = path;
  entries_.push_back(std::move(e));
}

bool InstallJournal::valueNoted(RegistryRoot root, const std::string& path, const std::string& name) const {
  for (const JournalEntry& e : entries_)
    if (e.step == JournalStep::ValueWritten && e.root == root && samePath(e.path, path) && samePath(e.name, name))
      return true;
  return false;
}

void InstallJournal::valueWritten(RegistryRoot root, const std::string& path, const std::string& name, bool hadValue,
                                  uint32_t type, const void* data, size_t size) {
  JournalEntry e;
  e.step = JournalStep::ValueWritten;
  e.root = root;
  e.path = path;
  e.name = name;
  e.hadValue = hadValue;
  e.type = type;
  if (hadValue && size) {
    auto p = static_cast<const uint8_t*>(data);
    e.data.assign(p, p + size);
  }
  entries_.push_back(std::move(e));
}

UndoResult InstallJournal::undo(JournalFiles& files, RegistryKeys& registry) {
  UndoResult result;
  for (size_t i = entries_.size(); i-- > 0;) {
    const JournalEntry& e = entries_[i];
    bool ok = false;
    std::string what = e.path;
    switch (e.step) {
      case JournalStep::FileCreated:
        ok = files.deleteFile(e.path);
        break;
      case JournalStep::FileReplaced:
        // The run's file goes first: on systems without a replacing
        // rename the original could not take its place otherwise.
        files.deleteFile(e.path);
        ok = files.moveFile(e.aside, e.path);
        break;
      case JournalStep::DirectoryCreated:
        ok = files.removeDirectory(e.path);
        break;
      case JournalStep::RestartReplacement:
        // The new data's file goes whether or not the schedule had it.
        files.cancelRestartReplacement(e.path, e.aside);
        what = e.aside;
        ok = files.deleteFile(e.aside);
        break;
      case JournalStep::KeyCreated: {
        what = rootName(e.root) + "\\" + e.path;
        ok = deleteKeyTree(registry, registry.root(e.root), e.path);
        break;
      }
      case JournalStep::ValueWritten: {
        what = rootName(e.root) + "\\" + e.path + "\\" + e.name;
        RegistryKeys::Key key;
        if (!registry.open(registry.root(e.root), e.path, false, key)) {
          // The key went (a key the run created below it was deleted
          // with its tree): a value that was not there is not there.
          ok = !e.hadValue;
          break;
        }
        if (e.hadValue) {
          ok = registry.setValue(key, e.name, e.type, e.data.data(), e.data.size());
        } else {
          registry.deleteValue(key, e.name);
          uint32_t type;
          std::vector<uint8_t> data;
          ok = !registry.readValue(key, e.name, type, data);
        }
        registry.close(key);
        break;
      }
    }
    if (ok)
      ++result.undone;
    else
      result.left.push_back(what);
  }
  entries_.clear();
  return result;
}

std::vector<std::string> InstallJournal::commit(JournalFiles& files) {
  std::vector<std::string> left;
  for (const JournalEntry& e : entries_)
    if (e.step == JournalStep::FileReplaced && !files.deleteFile(e.aside)) left.push_back(e.aside);
  entries_.clear();
  return left;
}

bool prepareFileWrite(InstallJournal& journal, JournalFiles& files, const std::string& path) {
  if (journal.ownsFile(path)) return true;
  if (!files.exists(path)) {
    journal.fileCreated(path);
    return true;
  }
  // Names an earlier run left behind are skipped, not reused.
  for (unsigned attempt = static_cast<unsigned>(journal.entries().size()); attempt < 0x100000u; attempt += 1) {
    std::string aside = keepAsideName(path, attempt);
    if (files.exists(aside)) continue;
    if (!files.renameAside(path, aside)) return false;
    journal.fileReplaced(path, aside);
    return true;
  }
  return false;
}

std::string keepAsideName(const std::string& target, unsigned attempt) {
  size_t sep = target.find_last_of("\\/");
  std::string folder = sep == std::string::npos ? std::string() : target.substr(0, sep + 1);
  static const char kHex[] = "0123456789ABCDEF";
  std::string number;
  do {
    number.insert(number.begin(), kHex[attempt & 15]);
    attempt >>= 4;
  } while (attempt && number.size() < 5);
  return folder + "~ZR" + number + ".TMP";
}

std::string withoutRenameLine(const std::string& text, const std::string& target, const std::string& temporary) {
  std::string out;
  out.reserve(text.size());
  bool inRename = false, removed = false;
  for (const TextLine& textLine : textLines(text)) {
    std::string line = trimmed(textLine.text);
    bool drop = false;
    if (!line.empty() && line[0] == '[') {
      inRename = samePath(line, "[Rename]");
    } else if (inRename && !removed) {
      size_t eq = line.find('=');
      if (eq != std::string::npos && samePath(trimmed(line.substr(0, eq)), target) &&
          samePath(trimmed(line.substr(eq + 1)), temporary))
        drop = removed = true;
    }
    if (!drop) out += textLine.text + textLine.ending;
  }
  return out;
}

bool withoutPendingRename(const std::vector<uint8_t>& value, const std::string& temporary, std::vector<uint8_t>& out) {
  // The strings, each up to its zero; the list ends at an empty one.
  std::vector<std::string> parts;
  size_t at = 0;
  while (at < value.size()) {
    size_t end = at;
    while (end < value.size() && value[end] != 0) ++end;
    if (end == at) break;
    parts.emplace_back(reinterpret_cast<const char*>(value.data()) + at, end - at);
    at = end + 1;
  }
  // Pairs of source and target; a deletion has an empty target, which
  // shows as a missing string here, so pairs are told by their sources.
  bool found = false;
  std::vector<std::string> kept;
  for (size_t i = 0; i < parts.size(); ++i) {
    bool source = (i % 2) == 0;
    if (!found && source && samePath(withoutPrefix(parts[i]), temporary)) {
      found = true;
      ++i;  // its target goes with it
      continue;
    }
    kept.push_back(parts[i]);
  }
  out.clear();
  for (const std::string& s : kept) {
    out.insert(out.end(), s.begin(), s.end());
    out.push_back(0);
  }
  out.push_back(0);
  return found;
}

const JournalingRegistry::Place* JournalingRegistry::place(Key key) const {
  for (const Place& p : places_)
    if (p.key == key) return &p;
  return nullptr;
}

RegistryKeys::Key JournalingRegistry::root(RegistryRoot root) {
  Key key = inner_.root(root);
  if (!place(key)) places_.push_back(Place{key, root, std::string()});
  return key;
}

bool JournalingRegistry::open(Key parent, const std::string& path, bool create, Key& out) {
  const Place* from = place(parent);
  if (!from) return inner_.open(parent, path, create, out);
  RegistryRoot root = from->root;
  std::string base = from->path;
  std::string full = base.empty() ? path : base + "\\" + path;
  if (create) {
    // The levels that are missing now are the run's: each is noted, the
    // uppermost first, so that an undo deletes them from the bottom up.
    Key rootKey = inner_.root(root);
    std::vector<std::string> missing;
    size_t at = base.empty() ? 0 : base.size() + 1;
    for (;;) {
      size_t sep = full.find('\\', at);
      std::string level = full.substr(0, sep);
      Key probe;
      if (!missing.empty() || !inner_.open(rootKey, level, false, probe)) {
        missing.push_back(level);
      } else {
        inner_.close(probe);
      }
      if (sep == std::string::npos) break;
      at = sep + 1;
    }
    if (!inner_.open(parent, path, true, out)) return false;
    for (const std::string& level : missing)
      if (!journal_.ownsKey(root, level)) journal_.keyCreated(root, level);
  } else if (!inner_.open(parent, path, false, out)) {
    return false;
  }
  places_.push_back(Place{out, root, full});
  return true;
}

void JournalingRegistry::close(Key key) {
  for (size_t i = 0; i < places_.size(); ++i)
    if (places_[i].key == key && !places_[i].path.empty()) {
      places_.erase(places_.begin() + static_cast<long>(i));
      break;
    }
  inner_.close(key);
}

void JournalingRegistry::noteValue(Key key, const std::string& name) {
  const Place* p = place(key);
  if (!p || journal_.ownsKey(p->root, p->path) || journal_.valueNoted(p->root, p->path, name)) return;
  uint32_t type = 0;
  std::vector<uint8_t> data;
  bool had = inner_.readValue(key, name, type, data);
  journal_.valueWritten(p->root, p->path, name, had, type, data.data(), data.size());
}

bool JournalingRegistry::setValue(Key key, const std::string& name, uint32_t type, const void* data, size_t size) {
  noteValue(key, name);
  return inner_.setValue(key, name, type, data, size);
}

void JournalingRegistry::deleteValue(Key key, const std::string& name) {
  noteValue(key, name);
  inner_.deleteValue(key, name);
}

bool JournalingRegistry::deleteKey(Key parent, const std::string& path) {
  // An install run deletes no keys of its own accord; what one would
  // delete could not be brought back, so it is refused here.
  (void)parent;
  (void)path;
  return false;
}

}  // namespace tw
