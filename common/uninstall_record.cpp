// Uninstall record encoding and bounds-checked decoding.
#include "common/uninstall_record.h"

namespace tw {
namespace {

constexpr size_t kTrailerSize = 8;  // type, component count, length

void put16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

uint16_t get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t get32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

class Cursor {
 public:
  Cursor(const uint8_t* p, size_t n) : p_(p), n_(n) {}
  bool u16(uint16_t& v) {
    if (n_ - pos_ < 2) return false;
    v = get16(p_ + pos_);
    pos_ += 2;
    return true;
  }
  bool bytes(std::string& s, size_t count) {
    if (n_ - pos_ < count) return false;
    s.assign(reinterpret_cast<const char*>(p_ + pos_), count);
    pos_ += count;
    return true;
  }
  size_t position() const { return pos_; }

 private:
  const uint8_t* p_;
  size_t n_;
  size_t pos_ = 0;
};

}  // namespace

void InstalledFiles::set(uint16_t i, bool installed) {
  if (i >= count_) return;
  uint16_t bit = static_cast<uint16_t>(1u << (i % 16));
  if (installed) words_[i / 16] |= bit;
  else words_[i / 16] &= static_cast<uint16_t>(~bit);
}

bool InstalledFiles::test(uint16_t i) const { return i < count_ && (words_[i / 16] >> (i % 16)) & 1; }

std::vector<uint8_t> encodeUninstallRecord(const UninstallRecord& r) {
  std::vector<uint8_t> out;
  put16(out, static_cast<uint16_t>(r.installDirLevels));
  for (const UninstallEntry& e : r.entries) {
    put16(out, static_cast<uint16_t>(e.value));
    if (e.value >= 0) {
      put16(out, e.files.count());
      for (uint16_t w : e.files.words()) put16(out, w);
    }
  }
  put16(out, r.shortcutFlags);
  put16(out, static_cast<uint16_t>(r.programFolder.size()));
  out.insert(out.end(), r.programFolder.begin(), r.programFolder.end());
  put16(out, r.installType);
  put16(out, r.componentCount);
  uint32_t length = static_cast<uint32_t>(out.size() + 4);
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(length >> (8 * i)));
  return out;
}

UninstallRecordError readUninstallTrailer(const uint8_t* file, size_t size, uint16_t& type,
                                          uint16_t& componentCount, uint32_t& length) {
  if (size < kTrailerSize) return UninstallRecordError::tooShort;
  const uint8_t* end = file + size;
  type = get16(end - 8);
  componentCount = get16(end - 6);
  length = get32(end - 4);
  if (type < kFirstRecordedType || type > kLastRecordedType) return UninstallRecordError::foreignType;
  // The smallest record: levels, flags, empty folder name and the trailer.
  if (length < 2 + 2 + 2 + kTrailerSize || length > size) return UninstallRecordError::badLength;
  return UninstallRecordError::ok;
}

UninstallRecordError decodeUninstallRecord(const uint8_t* file, size_t size, const std::vector<int>& listFileCounts,
                                           UninstallRecord& out) {
  uint32_t length = 0;
  UninstallRecordError e = readUninstallTrailer(file, size, out.installType, out.componentCount, length);
  if (e != UninstallRecordError::ok) return e;
  Cursor c(file + size - length, length - kTrailerSize);
  uint16_t v;
  if (!c.u16(v)) return UninstallRecordError::badLength;
  out.installDirLevels = static_cast<int16_t>(v);
  out.entries.clear();
  for (int files : listFileCounts) {
    UninstallEntry entry;
    if (!c.u16(v)) return UninstallRecordError::entryMismatch;
    entry.value = static_cast<int16_t>(v);
    bool registry = files < 0;
    if (entry.value >= 0) {
      uint16_t n;
      // A run that broke off recorded fewer files than the component has.
      if (registry || !c.u16(n) || n > files) return UninstallRecordError::entryMismatch;
      entry.files = InstalledFiles(n);
      for (uint16_t& w : entry.files.words())
        if (!c.u16(w)) return UninstallRecordError::entryMismatch;
    } else if (entry.value == kEntryRegistryInstalled || entry.value == kEntryRegistrySkipped) {
      if (!registry) return UninstallRecordError::entryMismatch;
    } else if (entry.value != kEntryFileSkipped || registry) {
      return UninstallRecordError::entryMismatch;
    }
    out.entries.push_back(std::move(entry));
  }
  uint16_t folderLength;
  if (!c.u16(out.shortcutFlags) || !c.u16(folderLength) || !c.bytes(out.programFolder, folderLength))
    return UninstallRecordError::entryMismatch;
  // Everything before the trailer must be used: a record of another list
  // would otherwise be read as ours.
  if (c.position() != length - kTrailerSize) return UninstallRecordError::entryMismatch;
  return UninstallRecordError::ok;
}

}  // namespace tw
