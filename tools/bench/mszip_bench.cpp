// MSZIP benchmark: the given files as one stream of 32 KB blocks in one
// folder, compressed and expanded by our codec (and by zlib level 6 with the
// same blocks and dictionaries, when built with zlib); prints the ratio and
// the speed of each. Timing covers the codec calls only, not file reading,
// and counts the process's CPU time, so that other work on a shared machine
// weighs less than on a wall clock.
//   mszip_bench FILE...
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "cabinet/core/codec.h"
#ifdef TW_BENCH_ZLIB
#include <zlib.h>
#endif

namespace {

struct Clock {
  using time_point = double;
  static double now() {
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
  }
};

void* heapAlloc(void*, size_t bytes) { return std::malloc(bytes); }
void heapRelease(void*, void* block) { std::free(block); }

double seconds(Clock::time_point since) { return Clock::now() - since; }

double megabytesPerSecond(size_t bytes, double s) { return s > 0 ? bytes / 1e6 / s : 0; }

#ifdef TW_BENCH_ZLIB
// zlib's figure for the same scheme: raw deflate per block, the previous
// block as dictionary.
void zlibPeer(const std::vector<uint8_t>& data) {
  std::vector<uint8_t> out(deflateBound(nullptr, tw::cab::kBlockMax) + 64);
  size_t total = 0;
  const auto start = Clock::now();
  z_stream z{};
  deflateInit2(&z, 6, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
  for (size_t at = 0; at < data.size(); at += tw::cab::kBlockMax) {
    const size_t n = data.size() - at < tw::cab::kBlockMax ? data.size() - at : tw::cab::kBlockMax;
    deflateReset(&z);
    if (at > 0) deflateSetDictionary(&z, data.data() + at - tw::cab::kBlockMax, tw::cab::kBlockMax);
    z.next_in = const_cast<uint8_t*>(data.data() + at);
    z.avail_in = static_cast<uInt>(n);
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    total += 2 + (out.size() - z.avail_out);
  }
  deflateEnd(&z);
  const double s = seconds(start);
  std::printf("zlib level 6, same blocks: %.2f %% (%zu bytes), %.1f MB/s\n",
              100.0 * total / data.size(), total, megabytesPerSecond(data.size(), s));
}
#endif

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: mszip_bench FILE...\n");
    return 2;
  }
  std::vector<uint8_t> data;
  int files = 0;
  for (int i = 1; i < argc; ++i) {
    FILE* f = std::fopen(argv[i], "rb");
    if (f == nullptr) {
      std::fprintf(stderr, "cannot read %s\n", argv[i]);
      return 1;
    }
    uint8_t buffer[1 << 16];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) data.insert(data.end(), buffer, buffer + n);
    std::fclose(f);
    ++files;
  }
  if (data.empty()) {
    std::fprintf(stderr, "no data\n");
    return 1;
  }
  std::printf("input: %d files, %.1f MB in %zu blocks of 32 KB\n", files, data.size() / 1e6,
              (data.size() + tw::cab::kBlockMax - 1) / tw::cab::kBlockMax);

  const tw::cab::CodecMemory memory{heapAlloc, heapRelease, nullptr};
  tw::cab::BlockEncoder* encoder = tw::cab::createMsZipEncoder(memory);
  tw::cab::BlockDecoder* decoder = tw::cab::createMsZipDecoder(memory);
  if (encoder == nullptr || decoder == nullptr) return 1;

  std::vector<uint8_t> payloads(data.size() / tw::cab::kBlockMax * tw::cab::kCompressedBlockMax +
                                tw::cab::kCompressedBlockMax);
  std::vector<size_t> sizes;
  size_t compressed = 0;
  auto start = Clock::now();
  for (size_t at = 0; at < data.size(); at += tw::cab::kBlockMax) {
    const size_t n = data.size() - at < tw::cab::kBlockMax ? data.size() - at : tw::cab::kBlockMax;
    const size_t written = encoder->encode(data.data() + at, n, payloads.data() + compressed,
                                           at + n == data.size());
    if (written == 0 || written > tw::cab::kCompressedBlockMax) {
      std::fprintf(stderr, "encoder failed at block %zu\n", at / tw::cab::kBlockMax);
      return 1;
    }
    sizes.push_back(written);
    compressed += written;
  }
  const double encodeSeconds = seconds(start);

  std::vector<uint8_t> expanded(tw::cab::kBlockMax);
  size_t offset = 0;
  bool same = true;
  double decodeSeconds = 0;
  for (size_t i = 0; i < sizes.size(); ++i) {
    const size_t at = i * tw::cab::kBlockMax;
    const size_t n = data.size() - at < tw::cab::kBlockMax ? data.size() - at : tw::cab::kBlockMax;
    start = Clock::now();
    const bool ok = decoder->decode(payloads.data() + offset, sizes[i], expanded.data(), n);
    decodeSeconds += seconds(start);
    if (!ok || std::memcmp(expanded.data(), data.data() + at, n) != 0) same = false;
    offset += sizes[i];
  }
  std::printf("mszip encode: %.2f %% (%zu bytes), %.1f MB/s\n", 100.0 * compressed / data.size(),
              compressed, megabytesPerSecond(data.size(), encodeSeconds));
  std::printf("mszip decode: %.1f MB/s%s\n", megabytesPerSecond(data.size(), decodeSeconds),
              same ? "" : " -- OUTPUT DIFFERS");
  encoder->destroy();
  decoder->destroy();
#ifdef TW_BENCH_ZLIB
  zlibPeer(data);
#endif
  return same ? 0 : 1;
}
