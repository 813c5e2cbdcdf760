// Reads the input as a cabinet through the reader with memory files, and
// extracts every file it hands out; a second pass skips every other file
// so that folders are entered in the middle.
#include <cstdint>
#include <cstring>

#include "tests/cabinet/container/memory_host.h"

namespace {

using tw::cab::test::FdiRecorder;
using tw::cab::test::MemoryFiles;

class Skipping final : public tw::cab::FdiHost {
 public:
  explicit Skipping(MemoryFiles& files) : fs(files) {}
  MemoryFiles& fs;
  int n = 0;
  void* alloc(uint32_t bytes) override { return fs.allocate(bytes); }
  void release(void* block) override { fs.free(block); }
  intptr_t open(const char* name, int flags, int, int*) override { return fs.open(name, flags); }
  uint32_t read(intptr_t f, void* b, uint32_t s, int*) override { return fs.read(f, b, s); }
  uint32_t write(intptr_t, const void*, uint32_t s, int*) override { return s; }
  int close(intptr_t f, int*) override { return f == 99 ? 0 : fs.close(f); }
  int32_t seek(intptr_t f, int32_t d, int o, int*) override { return fs.seek(f, d, o); }
  intptr_t notify(tw::cab::FdiEvent event, tw::cab::FdiNote&) override {
    if (event != tw::cab::FdiEvent::CopyFile) return 1;
    return (n++ % 2) ? 99 : 0;  // every other file to a sink handle
  }
  bool wantsDecrypt() const override { return true; }
  int decrypt(tw::cab::DecryptNote&) override { return 0; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  MemoryFiles fs;
  fs.files["cab/f.cab"].assign(data, data + size);
  {
    FdiRecorder host(fs);
    tw::cab::FdiFailure failure;
    tw::cab::FdiReader* reader = tw::cab::FdiReader::create(host, failure);
    if (reader) {
      reader->copy("f.cab", "cab/");
      reader->destroy();
    }
  }
  {
    Skipping host(fs);
    tw::cab::FdiFailure failure;
    tw::cab::FdiReader* reader = tw::cab::FdiReader::create(host, failure);
    if (reader) {
      reader->copy("f.cab", "cab/");
      reader->destroy();
    }
  }
  if (fs.live != 0) __builtin_trap();  // memory the reader did not give back
  return 0;
}
