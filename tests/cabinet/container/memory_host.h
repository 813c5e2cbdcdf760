// In-memory files and recorded callbacks for driving the cabinet writer and
// reader without a file system.
#pragma once
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "cabinet/core/container/fci.h"
#include "cabinet/core/container/fdi.h"

namespace tw::cab::test {

using Bytes = std::vector<uint8_t>;

class MemoryFiles {
 public:
  struct Handle {
    std::string name;
    size_t position;
    bool open;
  };
  std::map<std::string, Bytes> files;
  int live = 0;          // allocations not given back
  int openHandles = 0;
  bool failAlloc = false;

  void* allocate(uint32_t bytes) {
    if (failAlloc) return nullptr;
    ++live;
    return std::malloc(bytes ? bytes : 1);
  }
  void free(void* block) {
    --live;
    std::free(block);
  }
  intptr_t open(const std::string& name, int flags) {
    bool create = (flags & kOpenCreate) != 0;
    auto it = files.find(name);
    if (it == files.end()) {
      if (!create) return -1;
      files[name];
    } else if (create && (flags & kOpenExclusive)) {
      return -1;
    } else if (flags & kOpenTruncate) {
      it->second.clear();
    }
    handles_.push_back(Handle{name, 0, true});
    ++openHandles;
    return static_cast<intptr_t>(handles_.size());
  }
  Handle* handle(intptr_t h) {
    if (h <= 0 || static_cast<size_t>(h) > handles_.size() || !handles_[h - 1].open) return nullptr;
    return &handles_[h - 1];
  }
  uint32_t read(intptr_t h, void* buffer, uint32_t size) {
    Handle* f = handle(h);
    if (!f) return kTransferFailed;
    Bytes& data = files[f->name];
    size_t n = f->position >= data.size() ? 0 : std::min<size_t>(size, data.size() - f->position);
    if (n) std::memcpy(buffer, data.data() + f->position, n);
    f->position += n;
    return static_cast<uint32_t>(n);
  }
  uint32_t write(intptr_t h, const void* buffer, uint32_t size) {
    Handle* f = handle(h);
    if (!f) return kTransferFailed;
    Bytes& data = files[f->name];
    if (data.size() < f->position + size) data.resize(f->position + size);
    if (size) std::memcpy(data.data() + f->position, buffer, size);
    f->position += size;
    return size;
  }
  int close(intptr_t h) {
    Handle* f = handle(h);
    if (!f) return -1;
    f->open = false;
    --openHandles;
    return 0;
  }
  int32_t seek(intptr_t h, int32_t distance, int origin) {
    Handle* f = handle(h);
    if (!f) return -1;
    int64_t base = origin == kSeekSet ? 0 : origin == kSeekCurrent ? static_cast<int64_t>(f->position)
                                                                   : static_cast<int64_t>(files[f->name].size());
    if (base + distance < 0) return -1;
    f->position = static_cast<size_t>(base + distance);
    return static_cast<int32_t>(f->position);
  }

 private:
  std::vector<Handle> handles_;
};

// The writer's caller: sources are memory files, every callback recorded.
class FciRecorder final : public FciHost {
 public:
  MemoryFiles& fs;
  explicit FciRecorder(MemoryFiles& files) : fs(files) {}

  std::vector<std::string> events;  // "placed NAME SIZE", "next ICAB PREV", "cabinet EST ACT"
  uint64_t fileStatusUncompressed = 0;
  uint32_t fileStatusCalls = 0;
  std::vector<uint32_t> cabinetSizes;
  int tempCount = 0;
  int abortStatusAfter = -1;  // status calls before one returns -1
  std::string nextName = "next.cab";
  uint16_t date = 0x5A21, time = 0x6B4C, attributes = 0x20;

  void* alloc(uint32_t bytes) override { return fs.allocate(bytes); }
  void release(void* block) override { fs.free(block); }
  intptr_t open(const char* name, int flags, int, int* error) override {
    intptr_t h = fs.open(name, flags);
    if (h == -1) *error = 2;
    return h;
  }
  uint32_t read(intptr_t f, void* b, uint32_t s, int*) override { return fs.read(f, b, s); }
  uint32_t write(intptr_t f, const void* b, uint32_t s, int*) override { return fs.write(f, b, s); }
  int close(intptr_t f, int*) override { return fs.close(f); }
  int32_t seek(intptr_t f, int32_t d, int o, int*) override { return fs.seek(f, d, o); }
  int remove(const char* name, int*) override { return fs.files.erase(name) ? 0 : -1; }
  bool tempFileName(char* name, int capacity) override {
    std::string n = "temp" + std::to_string(++tempCount);
    std::snprintf(name, capacity, "%s", n.c_str());
    return true;
  }
  int filePlaced(const CabinetParams& p, const char* name, uint32_t size, bool continuation) override {
    events.push_back("placed " + std::string(p.name) + " " + name + " " + std::to_string(size) +
                     (continuation ? " continued" : ""));
    return 0;
  }
  bool nextCabinet(CabinetParams& p, uint32_t previous) override {
    events.push_back("next " + std::to_string(p.cabinetIndex) + " " + std::to_string(previous));
    std::snprintf(p.name, sizeof p.name, "%d-%s", p.cabinetIndex, nextName.c_str());
    return true;
  }
  int32_t status(unsigned type, uint32_t first, uint32_t second) override {
    if (abortStatusAfter == 0) return -1;
    if (abortStatusAfter > 0) --abortStatusAfter;
    if (type == kStatusFile) {
      fileStatusUncompressed += second;
      ++fileStatusCalls;
    } else if (type == kStatusFolder) {
      events.push_back("folder " + std::to_string(first));
    } else if (type == kStatusCabinet) {
      events.push_back("cabinet " + std::to_string(first) + " " + std::to_string(second));
      cabinetSizes.push_back(second);
      return static_cast<int32_t>(second);
    }
    return 0;
  }
  intptr_t openSource(const char* name, uint16_t* d, uint16_t* t, uint16_t* a, int* error) override {
    intptr_t h = fs.open(name, kOpenReadOnly);
    if (h == -1) {
      *error = 2;
      return -1;
    }
    *d = date;
    *t = time;
    *a = attributes;
    return h;
  }
};

// The reader's caller: extracted files land in memory files "out/NAME".
class FdiRecorder final : public FdiHost {
 public:
  MemoryFiles& fs;
  explicit FdiRecorder(MemoryFiles& files) : fs(files) {}

  std::vector<std::string> events;
  std::vector<DecryptNote> decrypts;
  bool decryptWanted = true;
  std::string skip;         // a name to skip
  std::string abortAt;      // a name to answer -1
  int closeResult = 1;
  std::map<std::string, int> executeFlags;
  std::map<std::string, uint16_t> attributes;

  void* alloc(uint32_t bytes) override { return fs.allocate(bytes); }
  void release(void* block) override { fs.free(block); }
  intptr_t open(const char* name, int flags, int, int*) override { return fs.open(name, flags); }
  uint32_t read(intptr_t f, void* b, uint32_t s, int*) override { return fs.read(f, b, s); }
  uint32_t write(intptr_t f, const void* b, uint32_t s, int*) override { return fs.write(f, b, s); }
  int close(intptr_t f, int*) override { return fs.close(f); }
  int32_t seek(intptr_t f, int32_t d, int o, int*) override { return fs.seek(f, d, o); }
  intptr_t notify(FdiEvent event, FdiNote& note) override {
    switch (event) {
      case FdiEvent::CabinetInfo:
        events.push_back("info " + std::string(note.text1) + "|" + note.text3 + "|" +
                         std::to_string(note.setId) + "|" + std::to_string(note.cabinetIndex));
        return 0;
      case FdiEvent::CopyFile:
        events.push_back("copy " + std::string(note.text1) + " " + std::to_string(note.size));
        if (abortAt == note.text1) return -1;
        if (skip == note.text1) return 0;
        return fs.open("out/" + std::string(note.text1), kOpenCreate | kOpenTruncate | kOpenReadWrite);
      case FdiEvent::CloseFileInfo:
        events.push_back("close " + std::string(note.text1));
        executeFlags[note.text1] = note.size;
        attributes[note.text1] = note.attributes;
        fs.close(note.file);
        return closeResult;
      default:
        events.push_back("other " + std::to_string(static_cast<int>(event)));
        return 0;
    }
  }
  bool wantsDecrypt() const override { return decryptWanted; }
  int decrypt(DecryptNote& note) override {
    decrypts.push_back(note);
    return 0;
  }
};

}  // namespace tw::cab::test
