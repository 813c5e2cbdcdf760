// Cabinet benchmark: writes the given files as one cabinet of one folder
// through the library's writer (FCI) and expands it again through its
// reader (FDI) into a sink, with the times of both.
//   cabinet_bench none|mszip|lzx OUT.cab FILE...
// Prints: input bytes, cabinet bytes, ratio, seconds and MB/s each way.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "cabinet/core/codec.h"
#include "cabinet/core/container/fci.h"
#include "cabinet/core/container/fdi.h"

namespace {

using tw::cab::kTransferFailed;

// Files through stdio; handle = index + 1 into a table of FILE*.
class StdioFiles {
 public:
  std::vector<FILE*> table;
  intptr_t open(const char* name, int flags) {
    const char* mode = (flags & tw::cab::kOpenCreate) ? "w+b" : (flags & 3) ? "r+b" : "rb";
    FILE* f = std::fopen(name, mode);
    if (!f) return -1;
    table.push_back(f);
    return static_cast<intptr_t>(table.size());
  }
  FILE* at(intptr_t h) { return table[static_cast<size_t>(h) - 1]; }
};

class BenchHost final : public tw::cab::FciHost, public tw::cab::FdiHost {
 public:
  StdioFiles files;
  uint64_t sunk = 0;
  void* alloc(uint32_t bytes) override { return std::malloc(bytes); }
  void release(void* block) override { std::free(block); }
  intptr_t open(const char* name, int flags, int, int*) override { return files.open(name, flags); }
  uint32_t read(intptr_t h, void* b, uint32_t s, int*) override {
    size_t n = std::fread(b, 1, s, files.at(h));
    return n == 0 && std::ferror(files.at(h)) ? kTransferFailed : static_cast<uint32_t>(n);
  }
  uint32_t write(intptr_t h, const void* b, uint32_t s, int*) override {
    if (h == kSink) {
      sunk += s;
      return s;
    }
    return static_cast<uint32_t>(std::fwrite(b, 1, s, files.at(h)));
  }
  int close(intptr_t h, int*) override {
    if (h == kSink) return 0;
    int rc = std::fclose(files.at(h));
    files.table[static_cast<size_t>(h) - 1] = nullptr;
    return rc;
  }
  int32_t seek(intptr_t h, int32_t d, int o, int*) override {
    FILE* f = files.at(h);
    if (std::fseek(f, d, o) != 0) return -1;
    return static_cast<int32_t>(std::ftell(f));
  }
  int remove(const char* name, int*) override { return std::remove(name); }
  bool tempFileName(char* name, int capacity) override {
    std::snprintf(name, static_cast<size_t>(capacity), "%s.data", cabinet.c_str());
    std::remove(name);
    return true;
  }
  int filePlaced(const tw::cab::CabinetParams&, const char*, uint32_t, bool) override { return 0; }
  bool nextCabinet(tw::cab::CabinetParams&, uint32_t) override { return true; }
  int32_t status(unsigned type, uint32_t, uint32_t second) override {
    return type == tw::cab::kStatusCabinet ? static_cast<int32_t>(second) : 0;
  }
  intptr_t openSource(const char* name, uint16_t* date, uint16_t* time, uint16_t* attributes, int*) override {
    *date = 0x5A21;
    *time = 0;
    *attributes = 0x20;
    return files.open(name, tw::cab::kOpenReadOnly);
  }
  intptr_t notify(tw::cab::FdiEvent event, tw::cab::FdiNote&) override {
    return event == tw::cab::FdiEvent::CopyFile ? kSink : 1;
  }
  bool wantsDecrypt() const override { return false; }
  int decrypt(tw::cab::DecryptNote&) override { return 0; }

  static constexpr intptr_t kSink = 1 << 30;
  std::string cabinet;
};

double since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: cabinet_bench none|mszip|lzx OUT.cab FILE...\n");
    return 2;
  }
  std::string method = argv[1];
  uint16_t type = method == "lzx" ? tw::cab::lzxType(21) : method == "mszip" ? tw::cab::kCompressMsZip
                                                                             : tw::cab::kCompressNone;
  BenchHost host;
  host.cabinet = argv[2];
  tw::cab::CabinetParams params;
  std::snprintf(params.name, sizeof params.name, "%s", argv[2]);
  params.path[0] = 0;
  tw::cab::FciFailure fciFailure;
  auto start = std::chrono::steady_clock::now();
  tw::cab::FciWriter* writer = tw::cab::FciWriter::create(host, params, fciFailure);
  if (!writer) return 1;
  uint64_t input = 0;
  for (int i = 3; i < argc; ++i) {
    const char* base = std::strrchr(argv[i], '/');
    if (!writer->addFile(argv[i], base ? base + 1 : argv[i], false, type)) {
      std::fprintf(stderr, "cannot add %s (error %d)\n", argv[i], static_cast<int>(writer->failure().error));
      return 1;
    }
    FILE* f = std::fopen(argv[i], "rb");
    std::fseek(f, 0, SEEK_END);
    input += static_cast<uint64_t>(std::ftell(f));
    std::fclose(f);
  }
  if (!writer->flushCabinet(false)) return 1;
  writer->destroy();
  double writeSeconds = since(start);

  FILE* f = std::fopen(argv[2], "rb");
  std::fseek(f, 0, SEEK_END);
  uint64_t output = static_cast<uint64_t>(std::ftell(f));
  std::fclose(f);

  tw::cab::FdiFailure fdiFailure;
  start = std::chrono::steady_clock::now();
  tw::cab::FdiReader* reader = tw::cab::FdiReader::create(host, fdiFailure);
  if (!reader || !reader->copy(argv[2], "")) {
    std::fprintf(stderr, "extraction failed (error %d)\n", reader ? static_cast<int>(reader->failure().error) : -1);
    return 1;
  }
  reader->destroy();
  double readSeconds = since(start);
  if (host.sunk != input) {
    std::fprintf(stderr, "extracted %llu bytes of %llu\n", static_cast<unsigned long long>(host.sunk),
                 static_cast<unsigned long long>(input));
    return 1;
  }
  const double mb = static_cast<double>(input) / 1e6;
  std::printf("%s: %llu -> %llu bytes = %.1f %%; write %.1f s = %.1f MB/s; FDI extract %.2f s = %.1f MB/s\n",
              method.c_str(), static_cast<unsigned long long>(input), static_cast<unsigned long long>(output),
              100.0 * static_cast<double>(output) / static_cast<double>(input), writeSeconds, mb / writeSeconds,
              readSeconds, mb / readSeconds);
  return 0;
}
